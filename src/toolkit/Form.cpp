// A form's life: load and unload with their query reasons, show and hide, and the
// routing of its window messages to the controls and the form's handlers.
#include "toolkit/Form.h"

#include <windowsx.h>

#include "base/Error.h"
#include "base/Frames.h"
#include "base/App.h"
#include "toolkit/FormParts.h"
#include "toolkit/Screen.h"

namespace qs::toolkit {

namespace detail {
std::vector<Form*>& LoadedForms() {
    static std::vector<Form*> forms;
    return forms;
}
}  // namespace detail

namespace {
// Draws the face of `control`'s parent (a tab page's themed background, say) where the
// control lies. The theme library is not one the system keeps loaded for every program:
// it is taken from the system folder only, never from the program's.
void DrawParentBackground(HWND control, HDC dc) {
    using Draw = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    static const Draw draw = [] {
        HMODULE theme = ::LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return theme ? reinterpret_cast<Draw>(reinterpret_cast<void*>(::GetProcAddress(theme, "DrawThemeParentBackground")))
                     : nullptr;
    }();
    if (draw) draw(control, dc, nullptr);
}
}  // namespace

Form::Form(FormDesign design) : Tag(design.tag), design_(std::move(design)), dpi_(detail::WindowDpi(nullptr)) {
    int id = kFirstControlId;
    for (const auto& c : design_.controls) {
        controls_.push_back(std::make_unique<Control>(*this, c, id));
        id += kIdsPerControl;
    }
    // Menu items hang below the nearest menu one level up.
    std::vector<Control*> path;
    for (auto& c : controls_) {
        if (c->Kind() != ControlKind::Menu) continue;
        path.resize(static_cast<size_t>(c->MenuLevel()));
        if (!path.empty() && path.back()) path.back()->MenuItems.push_back(c.get());
        path.push_back(c.get());
    }
}

Form::~Form() {
    if (hwnd_) {
        unloading_ = true;
        ReleaseOwner();
        ::DestroyWindow(hwnd_);
    }
}

const std::vector<Form*>& Form::Forms() { return detail::LoadedForms(); }

HWND Form::ApplicationWindow() {
    static HWND window = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorsetApplication";
        wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message != WM_CLOSE) return ::DefWindowProcW(hwnd, message, wParam, lParam);
            reported([] {
                auto forms = detail::LoadedForms();
                for (Form* form : forms) form->TryUnload(vbAppTaskManager);
            });
            return 0;
        };
        ::RegisterClassExW(&wc);
        return ::CreateWindowExW(0, wc.lpszClassName, App::Title().c_str(), WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

Control& Form::operator()(const std::wstring& name, int index) {
    for (auto& c : controls_)
        if (c->Name() == name && c->Index() == index) return *c;
    RaiseRuntime(errSubscriptOutOfRange);
}

void Form::Unload() { TryUnload(vbFormCode); }

bool Form::TryUnload(int reason) {
    if (!hwnd_ || unloading_) return false;
    bool cancel = false;
    Form_QueryUnload(cancel, reason);
    if (cancel) return false;
    Form_Unload(cancel);
    if (cancel || !hwnd_) return false;
    unloading_ = true;
    ReleaseOwner();
    ::DestroyWindow(hwnd_);
    return true;
}

void Form::Show() {
    if (!hwnd_) Load();
    if (!hwnd_) return;
    // A hidden window keeps its state; one given while hidden is taken now.
    int state = hiddenState_.value_or(-1);
    ::ShowWindow(hwnd_, state == 0 ? SW_SHOWNORMAL : state == 1 ? SW_SHOWMINIMIZED : state == 2 ? SW_SHOWMAXIMIZED : SW_SHOW);
    hiddenState_.reset();
    ::SetForegroundWindow(hwnd_);
    // Made active while hidden (a tray menu's owner is), it had no control to give the
    // focus to; now it has.
    HWND focus = ::GetFocus();
    if (::GetActiveWindow() == hwnd_ && (!focus || !::IsChild(hwnd_, focus))) OnActivate(true);
}

void Form::Hide() {
    if (!hwnd_) return;
    ReleaseOwner();
    ::ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

std::wstring Form::Caption() const {
    if (!hwnd_) return design_.caption;
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::Caption(const std::wstring& text) {
    design_.caption = text;
    if (hwnd_) ::SetWindowTextW(hwnd_, text.c_str());
}

Control* Form::DefaultButton(bool cancel) const {
    for (auto& c : controls_)
        if (c->Kind() == ControlKind::CommandButton && (cancel ? c->design_.isCancel : c->design_.isDefault) &&
            c->hwnd() && ::IsWindowEnabled(c->hwnd()))
            return c.get();
    return nullptr;
}

bool Form::OnCommand(int id) {
    if (id == IDCANCEL) {
        // Escape: the Cancel button, or else what the close box does.
        if (Control* button = DefaultButton(true)) {
            if (button->Click) button->Click();
        } else if (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_SYSMENU) {
            ::SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return true;
    }
    for (auto& c : controls_) {
        if (!c->Handles(id)) continue;
        if (c->Kind() == ControlKind::Toolbar) {
            size_t index = static_cast<size_t>(id - c->id_ - 1);
            if (index < c->Buttons.size() && c->ButtonClick) c->ButtonClick(c->Buttons[index]);
        } else if (c->Click) {
            c->Click();
        }
        return true;
    }
    return false;
}

LRESULT Form::OnNotify(NMHDR& header) {
    for (auto& c : controls_) {
        // A tip comes from the tip window, about a button's command.
        bool tip = header.code == TTN_GETDISPINFOW && c->Handles(static_cast<int>(header.idFrom));
        if (c->Kind() == ControlKind::Toolbar && (tip || c->hwnd() == header.hwndFrom)) return c->ToolbarNotify(header);
    }
    if (header.code == TCN_SELCHANGE) {
        for (auto& c : controls_)
            if (c->hwnd() == header.hwndFrom && c->Click) c->Click();
    }
    return 0;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) return 0;
        break;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case DM_GETDEFID: {
        // A focused push button is the default while it has the focus.
        HWND focus = ::GetFocus();
        for (auto& c : controls_)
            if (c->Kind() == ControlKind::CommandButton && c->hwnd() == focus && focus)
                return MAKELRESULT(c->id_, DC_HASDEFID);
        if (Control* button = DefaultButton(false)) return MAKELRESULT(button->id_, DC_HASDEFID);
        return 0;
    }
    case WM_ACTIVATE:
        // The focus moves once, as the dialog manager moves it: to the control that had it
        // or the first of the tab order, and to the window itself (the default) only when
        // no control takes it. Each move is news to the display server, which under Wine
        // can reach the program late, while a menu is open, and close it.
        if (!OnActivate(LOWORD(wParam) != WA_INACTIVE)) ::DefWindowProcW(hwnd_, message, wParam, lParam);
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // Common controls hear of new colours only from their parent; toolbar pictures
        // follow the colours and high contrast.
        for (auto& c : controls_) {
            if (!c->hwnd()) continue;
            if (message == WM_SYSCOLORCHANGE) ::SendMessageW(c->hwnd(), message, wParam, lParam);
            if (c->Kind() == ControlKind::Toolbar && (message == WM_SYSCOLORCHANGE || wParam == SPI_SETHIGHCONTRAST)) {
                c->LoadToolbarPictures();
                ::InvalidateRect(c->hwnd(), nullptr, TRUE);
            }
        }
        break;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        // The scheme's text colour, as the system gives it: never a fixed one.
        ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        // On a frame or a tab strip the container's own face shows through. It is drawn
        // under the control first: a themed check box repaints itself on hover and
        // focus, and over nothing its text would smear.
        if (::GetParent(reinterpret_cast<HWND>(lParam)) != hwnd_) {
            DrawParentBackground(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
            return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        }
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    case WM_MOUSEMOVE: {
        int button = (wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) | (wParam & MK_MBUTTON ? 4 : 0);
        int shift = (wParam & MK_SHIFT ? 1 : 0) | (wParam & MK_CONTROL ? 2 : 0);
        float x = ScaleX(static_cast<float>(GET_X_LPARAM(lParam)), vbPixels, ScaleMode);
        float y = ScaleY(static_cast<float>(GET_Y_LPARAM(lParam)), vbPixels, ScaleMode);
        MouseMove.Raise(button, shift, x, y);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            // Close chosen by the user; the WM_CLOSE that follows is theirs.
            closeFromSystemMenu_ = true;
            LRESULT r = ::DefWindowProcW(hwnd_, message, wParam, lParam);
            closeFromSystemMenu_ = false;
            return r;
        }
        break;
    case WM_CLOSE:
        // A close that did not come through the system menu was sent by another program.
        TryUnload(closeFromSystemMenu_ ? vbFormControlMenu : vbAppTaskManager);
        return 0;
    case WM_QUERYENDSESSION:
        // Only a question: another program may still refuse, and the user cancel. A form
        // hears of the session's end when it really ends.
        return TRUE;
    case WM_ENDSESSION:
        // The session ends once this returns: the last moment to save.
        if (wParam) TryUnload(vbAppWindows);
        return 0;
    case WM_DESTROY: {
        ForgetScreenReaderNames();
        auto& forms = detail::LoadedForms();
        std::erase(forms, this);
        if (forms.empty()) ::PostQuitMessage(0);
        break;
    }
    case WM_NCDESTROY:
        for (auto& c : controls_) c->hwnd_ = nullptr;
        hwnd_ = nullptr;
        unloading_ = false;
        break;
    default: break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may leave a window procedure. The form's framed procedures report their
    // own failures; whatever escapes outside them is reported here.
    LRESULT result = 0;
    if (reported([&] { result = form->HandleMessage(message, wParam, lParam); })) return result;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace qs::toolkit
