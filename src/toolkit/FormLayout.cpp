// Where a form and its controls lie: building the controls from the design table,
// placement in twips, window state, and following the monitor's dots per inch.
#include <windows.h>

#include <algorithm>

#include "base/Error.h"
#include "toolkit/Form.h"
#include "toolkit/FormParts.h"
#include "toolkit/Icons.h"
#include "toolkit/Screen.h"

namespace qs::toolkit {


namespace detail {

HFONT CreateDesignFont(const FontDesign& font, int dpi) {
    int height = -static_cast<int>(std::lround(font.size * static_cast<float>(dpi) / 72.0f));
    return ::CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         font.name.c_str());
}

int WindowDpi(HWND window) {
    UINT dpi = window ? ::GetDpiForWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : Screen::Dpi();
}

}  // namespace detail

RECT Form::Pixels(const RECT& twips) const {
    float tpp = TwipsPerPixel();
    auto px = [&](LONG t) { return static_cast<LONG>(detail::Pixels(static_cast<float>(t), tpp)); };
    return RECT{px(twips.left), px(twips.top), px(twips.right), px(twips.bottom)};
}

const Control* Form::ImageListOf(const Control& toolbar) const {
    for (auto& c : controls_)
        if (c->Kind() == ControlKind::ImageList && c->Name() == toolbar.design_.imageList) return c.get();
    return nullptr;
}

namespace {
// Frames and tab strips hold controls as child windows; what those tell their parent
// goes on to the form.
LRESULT CALLBACK ContainerProc(HWND container, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR form) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ::SendMessageW(reinterpret_cast<HWND>(form), message, wParam, lParam);
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(container, &ContainerProc, 1);
        break;
    default: break;
    }
    return ::DefSubclassProc(container, message, wParam, lParam);
}

RECT TwipsRect(const ControlDesign& d, POINT origin) {
    return RECT{d.left - origin.x, d.top - origin.y, d.left - origin.x + d.width, d.top - origin.y + d.height};
}
}  // namespace

// Builds the controls of `container` inside `parent`, whose top-left corner lies at
// `origin` twips in the design's coordinates.
void Form::CreateControls(HWND parent, const std::wstring& container, POINT origin) {
    std::vector<Control*> level;
    for (auto& c : controls_)
        if (c->design_.container == container) level.push_back(c.get());
    std::stable_sort(level.begin(), level.end(),
                     [](const Control* a, const Control* b) { return a->design_.tabIndex < b->design_.tabIndex; });

    // A tab strip holds the controls placed on it, so that they lie above its face.
    auto within = [](const ControlDesign& inner, const ControlDesign& outer) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
               inner.top + inner.height <= outer.top + outer.height;
    };
    std::vector<Control*> tabStrips;
    for (Control* c : level) {
        if (c->Kind() != ControlKind::TabStrip) continue;
        c->Create(parent, TwipsRect(c->design_, origin), font_.get());
        ::SetWindowSubclass(c->hwnd(), &ContainerProc, 1, reinterpret_cast<DWORD_PTR>(hwnd_));
        tabStrips.push_back(c);
    }
    for (Control* c : level) {
        if (c->Kind() == ControlKind::TabStrip) continue;
        HWND holder = parent;
        POINT at = origin;
        for (Control* strip : tabStrips) {
            if (!within(c->design_, strip->design_)) continue;
            at = POINT{strip->design_.left, strip->design_.top};
            holder = strip->hwnd();
        }
        c->Create(holder, TwipsRect(c->design_, at), font_.get());
        if (c->Kind() == ControlKind::Frame) {
            ::SetWindowSubclass(c->hwnd(), &ContainerProc, 1, reinterpret_cast<DWORD_PTR>(hwnd_));
            CreateControls(c->hwnd(), c->Name(), POINT{0, 0});  // inside a frame, places are the frame's
        }
    }
}

namespace {
// The outer size of a form whose client area is `client` pixels.
SIZE OuterSize(HWND window, SIZE client, int dpi) {
    RECT r{0, 0, client.cx, client.cy};
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    ::AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
    return SIZE{r.right - r.left, r.bottom - r.top};
}
}  // namespace

void Form::Load() {
    if (hwnd_) return;
    static const ATOM registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Form::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = detail::kFormClass;
        wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        // Its small image too: left out, the system would make it by copying the large one.
        wc.hIconSm = static_cast<HICON>(::LoadImageW(wc.hInstance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                     LR_SHARED));
        return ::RegisterClassExW(&wc);
    }();
    if (!registered) RaiseRuntime(errInvalidProcedureCall);
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = design_.showInTaskbar ? WS_EX_APPWINDOW : 0;
    if (design_.border == BorderStyle::SizableToolWindow) {
        style |= WS_THICKFRAME;
        exStyle |= WS_EX_TOOLWINDOW;
    } else {
        style |= DS_MODALFRAME;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    }
    hwnd_ = ::CreateWindowExW(exStyle, detail::kFormClass, design_.caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                              nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) RaiseRuntime(errInvalidProcedureCall);
    // The client area is the design's, in the pixels of the monitor the window is on.
    dpi_ = detail::WindowDpi(hwnd_);
    RECT client = Pixels(RECT{0, 0, design_.clientWidth, design_.clientHeight});
    SIZE outer = OuterSize(hwnd_, SIZE{client.right, client.bottom}, dpi_);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    font_.reset(detail::CreateDesignFont(design_.font, dpi_));
    detail::LoadedForms().push_back(this);

    CreateControls(hwnd_, L"", POINT{0, 0});
    Form_Load();
}

void Form::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    font_.reset(detail::CreateDesignFont(design_.font, dpi_));
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (auto& c : controls_) c->Rescale(font_.get());
    ShowTitleIcons();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::Icon(HICON icon) {
    icon_ = icon;
    ShowTitleIcons();
}

void Form::ShowTitleIcons() {
    if (!hwnd_ || !icon_) return;
    // At this monitor's sizes, each the icon's own image of that size.
    unique_hicon small = IconAtSize(icon_, ::GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi_)));
    unique_hicon big = IconAtSize(icon_, ::GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(dpi_)));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small.get() : icon_));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big ? big.get() : icon_));
    smallIcon_ = std::move(small);
    bigIcon_ = std::move(big);
}

namespace {
RECT OuterRect(HWND hwnd) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ::GetWindowPlacement(hwnd, &wp);
    // The normal position is in workspace coordinates; ask for the real rectangle
    // while the window is in its normal state.
    RECT r{};
    if (::IsIconic(hwnd) || ::IsZoomed(hwnd)) r = wp.rcNormalPosition;
    else ::GetWindowRect(hwnd, &r);
    return r;
}
}  // namespace

float Form::Left() const { return hwnd_ ? static_cast<float>(OuterRect(hwnd_).left) * TwipsPerPixel() : 0; }
float Form::Top() const { return hwnd_ ? static_cast<float>(OuterRect(hwnd_).top) * TwipsPerPixel() : 0; }
float Form::Width() const {
    if (!hwnd_) return 0;
    RECT r = OuterRect(hwnd_);
    return static_cast<float>(r.right - r.left) * TwipsPerPixel();
}
float Form::Height() const {
    if (!hwnd_) return 0;
    RECT r = OuterRect(hwnd_);
    return static_cast<float>(r.bottom - r.top) * TwipsPerPixel();
}

void Form::Move(float left, float top, float width, float height) {
    if (!hwnd_) Load();
    float tpp = TwipsPerPixel();
    ::SetWindowPos(hwnd_, nullptr, detail::Pixels(left, tpp), detail::Pixels(top, tpp), detail::Pixels(width, tpp),
                   detail::Pixels(height, tpp),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

float Form::ScaleX(float value, int fromScale, int toScale) const {
    return ConvertScale(value, fromScale, toScale, TwipsPerPixel());
}
float Form::ScaleY(float value, int fromScale, int toScale) const {
    return ConvertScale(value, fromScale, toScale, TwipsPerPixel());
}

int Form::WindowState() const {
    if (!hwnd_) return 0;
    // A hidden window is in the state it had when it was hidden, unless given another.
    if (hiddenState_ && !::IsWindowVisible(hwnd_)) return *hiddenState_;
    return ::IsIconic(hwnd_) ? 1 : ::IsZoomed(hwnd_) ? 2 : 0;
}

void Form::WindowState(int state) {
    if (state < 0 || state > 2) RaiseRuntime(errInvalidProcedureCall);
    if (!hwnd_) Load();
    // A hidden form takes its state when it is shown, so that a silent start stays silent.
    if (!::IsWindowVisible(hwnd_)) {
        hiddenState_ = state;
        return;
    }
    ::ShowWindow(hwnd_, state == 1 ? SW_SHOWMINNOACTIVE : state == 2 ? SW_SHOWMAXIMIZED : SW_RESTORE);
}

}  // namespace qs::toolkit
