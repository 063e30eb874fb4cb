// The controls of a form: built from their design rows into real Win32 controls.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/Error.h"
#include "toolkit/Form.h"
#include "toolkit/FormParts.h"

namespace qs::toolkit {

using detail::Pixels;

Control::Control(Form& form, const ControlDesign& design, int id)
    : Tag(design.tag), form_(form), kind_(design.kind), name_(design.name), index_(design.index),
      caption_(design.caption), visible_(design.visible), menuLevel_(design.menuLevel), id_(id),
      value_(design.value), design_(design) {
    int i = 0;
    for (const auto& b : design.buttons) Buttons.push_back({++i, b.key, b.tag, b.toolTipText, b.image});
    i = 0;
    for (const auto& t : design.tabs) Tabs.push_back({++i, t.caption, t.tag});
}

Control::~Control() = default;

void Control::Create(HWND parent, RECT twips, HFONT formFont) {
    twips_ = twips;
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0);
    switch (kind_) {
    case ControlKind::Label: style |= SS_LEFT; break;
    case ControlKind::Frame: windowClass = L"BUTTON"; style |= BS_GROUPBOX; break;
    case ControlKind::CheckBox: windowClass = L"BUTTON"; style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
    case ControlKind::OptionButton: windowClass = L"BUTTON"; style |= BS_AUTORADIOBUTTON | WS_TABSTOP; break;
    case ControlKind::CommandButton:
        windowClass = L"BUTTON";
        style |= (design_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
        break;
    case ControlKind::Toolbar:
        windowClass = TOOLBARCLASSNAMEW;
        style |= TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_TOP | WS_TABSTOP;
        break;
    case ControlKind::TabStrip: windowClass = WC_TABCONTROLW; style |= WS_TABSTOP; break;
    case ControlKind::Image: style |= (design_.bitmapResource ? SS_BITMAP : SS_ICON | SS_REALSIZEIMAGE); break;
    case ControlKind::Line: style |= SS_ETCHEDHORZ; break;
    case ControlKind::ImageList:
    case ControlKind::Menu: return;  // no window of their own
    }
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Frames and tab strips hold controls as child windows; dialog keys look inside them.
    DWORD exStyle = kind_ == ControlKind::Frame || kind_ == ControlKind::TabStrip ? WS_EX_CONTROLPARENT : 0;
    RECT r = form_.Pixels(twips_);
    if (kind_ == ControlKind::Line) r.bottom = r.top + 2;
    hwnd_ = ::CreateWindowExW(exStyle, windowClass, caption_.c_str(), style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), instance,
                              nullptr);
    if (!hwnd_) RaiseRuntime(errInvalidProcedureCall);
    if (design_.font) font_.reset(detail::CreateDesignFont(*design_.font, form_.Dpi()));
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_ ? font_.get() : formFont), FALSE);

    switch (kind_) {
    case ControlKind::CheckBox: Value(value_); break;
    case ControlKind::Image:
        if (design_.bitmapResource) {
            bitmap_.reset(static_cast<HBITMAP>(
                ::LoadImageW(instance, MAKEINTRESOURCEW(design_.bitmapResource), IMAGE_BITMAP, 0, 0, 0)));
            ::SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
        } else if (design_.iconResource) {
            picture_.reset(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(design_.iconResource), IMAGE_ICON,
                                                            r.right - r.left, r.bottom - r.top, LR_DEFAULTCOLOR)));
            ::SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(picture_.get()), 0);
        }
        break;
    case ControlKind::TabStrip:
        for (size_t i = 0; i < Tabs.size(); ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = Tabs[i].Caption.data();
            ::SendMessageW(hwnd_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        NameTabStrip();
        break;
    case ControlKind::Toolbar: CreateToolbarButtons(); break;
    default: break;
    }
}

void Control::Rescale(HFONT formFont) {
    if (!hwnd_) return;
    RECT r = form_.Pixels(twips_);
    if (kind_ == ControlKind::Line) r.bottom = r.top + 2;
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (design_.font) font_.reset(detail::CreateDesignFont(*design_.font, form_.Dpi()));
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_ ? font_.get() : formFont), TRUE);
    if (kind_ == ControlKind::Toolbar) {
        LoadToolbarPictures();
        ::SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
    }
}

bool Control::Handles(int commandId) const {
    return kind_ == ControlKind::Toolbar ? commandId > id_ && commandId < id_ + Form::kIdsPerControl
                                         : commandId == id_;
}

bool Control::TakesFocus() const {
    bool focusable = kind_ == ControlKind::CheckBox || kind_ == ControlKind::OptionButton ||
                     kind_ == ControlKind::CommandButton || kind_ == ControlKind::TabStrip ||
                     kind_ == ControlKind::Toolbar;
    return focusable && hwnd_ && ::IsWindowVisible(hwnd_) && ::IsWindowEnabled(hwnd_);
}

std::wstring Control::Caption() const { return caption_; }

void Control::Caption(const std::wstring& text) {
    caption_ = text;
    if (hwnd_) ::SetWindowTextW(hwnd_, text.c_str());
}

void Control::Visible(bool visible) {
    visible_ = visible;
    if (hwnd_) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::Enabled() const { return !hwnd_ || ::IsWindowEnabled(hwnd_); }
void Control::Enabled(bool enabled) {
    if (hwnd_) ::EnableWindow(hwnd_, enabled);
}

int Control::Value() const {
    if (hwnd_ && kind_ == ControlKind::CheckBox)
        return ::SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return value_;
}

void Control::Value(int value) {
    if (value != 0 && value != 1) RaiseRuntime(errInvalidProcedureCall);
    value_ = value;
    if (hwnd_ && kind_ == ControlKind::CheckBox)
        ::SendMessageW(hwnd_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Control::SetFocus() {
    if (!hwnd_) return;
    if (::GetFocus() != hwnd_) ::SetFocus(hwnd_);  // given again, it would be news again
    if (kind_ == ControlKind::Toolbar) ShowMark(true);
}

void Control::TabCaption(int index, const std::wstring& text) {
    if (index < 1 || static_cast<size_t>(index) > Tabs.size()) RaiseRuntime(errSubscriptOutOfRange);
    Tabs[static_cast<size_t>(index - 1)].Caption = text;
    if (!hwnd_) return;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = Tabs[static_cast<size_t>(index - 1)].Caption.data();
    ::SendMessageW(hwnd_, TCM_SETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item));
    NameTabStrip();
}

void Control::NameTabStrip() {
    // A tab strip without a caption of its own is named after its first tab, for screen readers.
    if (caption_.empty() && !Tabs.empty()) ::SetWindowTextW(hwnd_, Tabs[0].Caption.c_str());
}

void Control::BringToFront() {
    if (hwnd_) ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::Move(int left, int top) {
    ::OffsetRect(&twips_, left - design_.left, top - design_.top);
    design_.left = left;
    design_.top = top;
    if (!hwnd_) return;
    RECT r = form_.Pixels(twips_);
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Control::SelectedTab() const {
    return hwnd_ ? static_cast<int>(::SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)) + 1 : 1;
}

void Control::Picture(HICON icon) {
    picture_.reset();
    if (hwnd_) ::SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

}  // namespace qs::toolkit
