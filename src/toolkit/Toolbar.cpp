// Toolbars: their buttons and names, their pictures (full colour, or in the scheme's
// colours under high contrast), and the keyboard: a mark that Left, Right, Home and End
// move and that Enter and Space press, drawn as the hot button with a focus rectangle.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/Error.h"
#include "toolkit/Form.h"
#include "toolkit/FormParts.h"

namespace qs::toolkit {

namespace {

// The image of `size` pixels of icon resource `id`, when the program stores it as a plain
// 32-bit bitmap (rows bottom-up, alpha and all): its pixels can be used as they stand,
// without an icon made of them. Larger images are stored compressed; for those, none.
const DWORD* PlainPixels(HINSTANCE instance, int id, int size) {
    auto resource = [&](int name, LPCWSTR type) -> void* {
        HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(name), type);
        return found ? ::LockResource(::LoadResource(instance, found)) : nullptr;
    };
    auto* directory = static_cast<BYTE*>(resource(id, RT_GROUP_ICON));
    int image = directory ? ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR) : 0;
    auto* header = image ? static_cast<const BITMAPINFOHEADER*>(resource(image, RT_ICON)) : nullptr;
    bool plain = header && header->biSize == sizeof *header && header->biWidth == size &&
                 header->biHeight == 2 * size && header->biBitCount == 32 && header->biCompression == BI_RGB;
    return plain ? reinterpret_cast<const DWORD*>(header + 1) : nullptr;
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

namespace detail {

unique_hbitmap PictureStrip(const std::vector<PictureDesign>& pictures, int size, int ink) {
    const int count = static_cast<int>(pictures.size());
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size * count, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    unique_hbitmap strip(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!strip) RaiseRuntime(errInvalidProcedureCall);
    format.bmiHeader.biHeight = size;  // one picture, bottom-up as the resources store it
    format.bmiHeader.biWidth = size;
    std::vector<DWORD> read(static_cast<size_t>(size) * size);
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // A mask takes the ink's colour; its coverage stays.
    COLORREF colour = ink == kFullColour ? 0 : ::GetSysColor(ink);
    const DWORD rgb = static_cast<DWORD>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    for (int p = 0; p < count; ++p) {
        const bool mask = ink != kFullColour && pictures[p].highContrastResource;
        const int id = mask ? pictures[p].highContrastResource : pictures[p].iconResource;
        const DWORD* picture = PlainPixels(instance, id, size);
        if (!picture) {  // a compressed image: read through an icon made of it
            unique_hicon icon(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
            ICONINFO parts{};
            if (!icon || !::GetIconInfo(icon.get(), &parts)) RaiseRuntime(errFileNotFound);
            unique_hbitmap color(parts.hbmColor), shape(parts.hbmMask);
            if (!::GetDIBits(dc.get(), color.get(), 0, size, read.data(), &format, DIB_RGB_COLORS))
                RaiseRuntime(errFileNotFound);
            picture = read.data();
        }
        for (int y = 0; y < size; ++y) {
            const DWORD* from = &picture[static_cast<size_t>(size - 1 - y) * size];
            DWORD* to = static_cast<DWORD*>(bits) + (static_cast<size_t>(y) * count + p) * size;
            if (mask)
                std::transform(from, from + size, to, [rgb](DWORD pixel) { return (pixel & 0xFF000000) | rgb; });
            else
                std::copy_n(from, size, to);
        }
    }
    return strip;
}

}  // namespace detail

void Control::CreateToolbarButtons() {
    ::SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Every button carries its tip as its text, which the toolbar does not draw: screen
    // readers take a button's name from its text.
    ::SendMessageW(hwnd_, TB_SETMAXTEXTROWS, 0, 0);
    SizeButtons();
    const Control* list = form_.ImageListOf(*this);
    std::vector<TBBUTTON> buttons;
    for (const auto& b : Buttons) {
        int image = I_IMAGENONE;
        if (list)
            for (size_t p = 0; p < list->design_.pictures.size(); ++p)
                if (list->design_.pictures[p].key == b.Image) image = static_cast<int>(p);
        buttons.push_back(TBBUTTON{image, id_ + b.Index, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0,
                                   reinterpret_cast<INT_PTR>(b.ToolTipText.c_str())});
    }
    ::SendMessageW(hwnd_, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    // The size follows the texts: the pictures set it after them.
    LoadToolbarPictures();
    ::SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
}

void Control::LoadToolbarPictures() {
    const Control* list = form_.ImageListOf(*this);
    int size = detail::ToolbarPictureSize(form_.Dpi());
    if (list) {
        const auto& pictures = list->design_.pictures;
        auto imageList = [&](int ink) {
            unique_hbitmap strip = detail::PictureStrip(pictures, size, ink);
            unique_himagelist images(::ImageList_Create(size, size, ILC_COLOR32, static_cast<int>(pictures.size()), 0));
            ::ImageList_Add(images.get(), strip.get(), nullptr);
            return images;
        };
        const bool contrast = HighContrastOn();
        unique_himagelist images = imageList(contrast ? COLOR_BTNTEXT : detail::kFullColour);
        // Under high contrast the hot button may be filled with the highlight colour, on
        // which pictures in the text colour vanish: its pictures take the colour the
        // scheme pairs with the highlight.
        unique_himagelist hot = contrast ? imageList(COLOR_HIGHLIGHTTEXT) : unique_himagelist();
        ::SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
        ::SendMessageW(hwnd_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot.get()));
        images_ = std::move(images);  // the old lists go only once the toolbar has let them go
        hotImages_ = std::move(hot);
    }
    SizeButtons();
}

void Control::SizeButtons() {
    // Also the least and most width: a new text lays the buttons out again, and the width
    // is the pictures' whatever the texts, which are not drawn.
    int size = detail::ToolbarPictureSize(form_.Dpi()) + 8;
    ::SendMessageW(hwnd_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(size, size));
    ::SendMessageW(hwnd_, TB_SETBUTTONSIZE, 0, MAKELPARAM(size, size));
}

void Control::ButtonToolTip(int index, const std::wstring& text) {
    if (index < 1 || static_cast<size_t>(index) > Buttons.size()) RaiseRuntime(errSubscriptOutOfRange);
    ToolbarButton& button = Buttons[static_cast<size_t>(index - 1)];
    button.ToolTipText = text;
    if (!hwnd_) return;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = button.ToolTipText.data();
    ::SendMessageW(hwnd_, TB_SETBUTTONINFOW, static_cast<WPARAM>(id_ + index), reinterpret_cast<LPARAM>(&info));
}

void Control::ShowMark(bool shown) {
    if (!hwnd_ || Buttons.empty()) return;
    ::SendMessageW(hwnd_, TB_SETHOTITEM, shown ? static_cast<WPARAM>(mark_) : static_cast<WPARAM>(-1), 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);  // the focus rectangle comes or goes with the focus
    if (shown) AnnounceMark();
}

void Control::AnnounceMark() {
    // A hot button is no focus event of the toolbar's own, whoever moved it: screen
    // readers hear of the marked button, the one Enter presses, from here.
    if (::GetFocus() == hwnd_) ::NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, mark_ + 1);
}

bool Control::ToolbarKey(WPARAM key, LPARAM flags) {
    const int last = static_cast<int>(Buttons.size()) - 1;
    int mark = mark_;
    switch (key) {
    case VK_LEFT: case VK_UP: mark = std::max(0, mark - 1); break;
    case VK_RIGHT: case VK_DOWN: mark = std::min(last, mark + 1); break;
    case VK_HOME: mark = 0; break;
    case VK_END: mark = last; break;
    case VK_RETURN: case VK_SPACE: break;
    default: return false;
    }
    if (last < 0) return true;
    // The keyboard is in use: from now on the window shows where the focus is.
    ::SendMessageW(::GetAncestor(hwnd_, GA_ROOT), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    keyPointer_ = ::GetMessagePos();
    if (key != VK_RETURN && key != VK_SPACE) {
        mark_ = mark;
        ShowMark(true);
    } else if (!(flags & (1 << 30))) {  // a key held down presses once
        // The way a click comes: the toolbar's command to its parent.
        ::SendMessageW(::GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(id_ + mark_ + 1, BN_CLICKED),
                       reinterpret_cast<LPARAM>(hwnd_));
    }
    return true;
}

LRESULT Control::ToolbarNotify(NMHDR& header) {
    switch (header.code) {
    case TTN_GETDISPINFOW: {
        size_t index = header.idFrom - static_cast<UINT_PTR>(id_) - 1;
        if (index < Buttons.size()) reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = Buttons[index].ToolTipText.data();
        return 0;
    }
    case TBN_HOTITEMCHANGE: {
        auto& change = reinterpret_cast<NMTBHOTITEM&>(header);
        // The pointer takes the mark from the keyboard's user only by moving: not by leaving
        // the toolbar, and not by the mouse messages the system sends for a pointer at rest
        // (when a window under it shows or goes, a tip say).
        bool mouse = change.dwFlags & HICF_MOUSE;
        if (mouse && ::GetFocus() == hwnd_ &&
            ((change.dwFlags & HICF_LEAVING) || ::GetMessagePos() == keyPointer_))
            return TRUE;
        // The mark follows the pointer and the toolbar's own keys (Ctrl+arrows); its other
        // ideas, such as the first button on taking the focus, are put right at once.
        if ((mouse || (change.dwFlags & (HICF_ARROWKEYS | HICF_ACCELERATOR))) && !(change.dwFlags & HICF_LEAVING) &&
            Handles(change.idNew) && change.idNew - id_ - 1 != mark_) {
            mark_ = change.idNew - id_ - 1;
            AnnounceMark();
        }
        return 0;
    }
    case NM_CUSTOMDRAW: {
        auto& draw = reinterpret_cast<NMTBCUSTOMDRAW&>(header).nmcd;
        bool focusShown = ::GetFocus() == hwnd_ && !(::SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
        if (draw.dwDrawStage == CDDS_PREPAINT) return focusShown ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        bool marked = static_cast<int>(draw.dwItemSpec) == id_ + mark_ + 1;
        if (draw.dwDrawStage == CDDS_ITEMPREPAINT) return marked ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
        if (draw.dwDrawStage == CDDS_ITEMPOSTPAINT && marked) {
            RECT inside = draw.rc;
            ::InflateRect(&inside, -3, -3);
            ::DrawFocusRect(draw.hdc, &inside);
        }
        return CDRF_DODEFAULT;
    }
    default: return 0;
    }
}

}  // namespace qs::toolkit
