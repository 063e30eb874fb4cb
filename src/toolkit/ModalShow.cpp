// Modal show, the message loops, and the dialog keys of a form: Tab and Shift+Tab in the
// design's tab order, access keys, Enter and Escape.
#include <windows.h>

#include <algorithm>

#include "toolkit/Form.h"
#include "toolkit/FormParts.h"
#include "toolkit/Screen.h"

namespace qs::toolkit {

namespace {

// Runs one message through the dialog keys of its form, or dispatches it.
void Dispatch(MSG& msg) {
    if (PreTranslate(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

RECT WorkAreaNear(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

bool IsButtonKind(ControlKind kind) {
    return kind == ControlKind::CheckBox || kind == ControlKind::OptionButton || kind == ControlKind::CommandButton;
}

// The access key of a caption: the letter after a single "&".
wchar_t AccessKey(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(::CharUpperW(
                                          reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(caption[i + 1])))));
        ++i;
    }
    return 0;
}

}  // namespace

void Form::ShowModal(Form* owner) {
    if (!hwnd_) Load();
    owner_ = owner ? owner->hwnd() : nullptr;
    if (owner_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner_));
        ::EnableWindow(owner_, FALSE);
    }
    if (design_.centerOnOwner) {
        // Over the owner when it is on the screen, else in the middle of its monitor; in
        // either case inside the work area of the owner's monitor.
        HWND anchor = owner_ ? owner_ : hwnd_;
        RECT work = WorkAreaNear(anchor), over = work, mine{};
        if (owner_ && ::IsWindowVisible(owner_)) ::GetWindowRect(owner_, &over);
        ::GetWindowRect(hwnd_, &mine);
        POINT at = CentreOver(over, SIZE{mine.right - mine.left, mine.bottom - mine.top}, work);
        ::SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    modal_ = true;
    ScreenReaderDialog();
    Show();
    MSG msg;
    while (hwnd_ && ::IsWindowVisible(hwnd_)) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it to the outer loop
            break;
        }
        Dispatch(msg);
    }
    modal_ = false;
    ReleaseOwner();
}

void Form::ReleaseOwner() {
    if (owner_ && ::IsWindow(owner_)) ::EnableWindow(owner_, TRUE);
    owner_ = nullptr;
}

Control* Form::NextTabStop(HWND from, bool backwards) const {
    std::vector<Control*> stops;
    for (auto& c : controls_)
        if (c->TakesFocus()) stops.push_back(c.get());
    if (stops.empty()) return nullptr;
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Control* a, const Control* b) { return a->design_.tabIndex < b->design_.tabIndex; });
    auto at = std::find_if(stops.begin(), stops.end(), [&](const Control* c) { return c->hwnd() == from; });
    if (at == stops.end()) return backwards ? stops.back() : stops.front();
    size_t i = static_cast<size_t>(at - stops.begin()), n = stops.size();
    return stops[backwards ? (i + n - 1) % n : (i + 1) % n];
}

bool Form::OnActivate(bool active) {
    // As dialogs do: the focus leaves with the form and comes back where it was, or to
    // the first control of the tab order.
    if (!active) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
        for (auto& c : controls_)
            if (c->Kind() == ControlKind::Toolbar) c->ShowMark(false);
        return false;
    }
    if (::IsIconic(hwnd_)) return false;
    auto last = std::find_if(controls_.begin(), controls_.end(), [&](auto& c) { return c->hwnd() == lastFocus_; });
    Control* target = last != controls_.end() && lastFocus_ && (*last)->TakesFocus() ? last->get() : nullptr;
    if (!target) target = NextTabStop(nullptr, false);
    if (target) target->SetFocus();
    return target != nullptr;
}

bool PreTranslate(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    auto found = std::find_if(Form::Forms().begin(), Form::Forms().end(), [&](Form* f) { return f->hwnd() == root; });
    if (found == Form::Forms().end()) return false;
    Form& form = **found;

    bool control = ::GetKeyState(VK_CONTROL) < 0;
    if (msg.message == WM_KEYDOWN && !control)
        for (auto& c : form.Controls())
            if (c->Kind() == ControlKind::Toolbar && c->hwnd() == msg.hwnd && c->ToolbarKey(msg.wParam, msg.lParam))
                return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !control) {
        if (Control* next = form.NextTabStop(::GetFocus(), ::GetKeyState(VK_SHIFT) < 0)) {
            next->SetFocus();
            return true;
        }
    }
    // Alt+letter anywhere, or the letter alone while a button has the focus.
    bool charToButton = msg.message == WM_CHAR && !control &&
                        !(::SendMessageW(msg.hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_WANTCHARS | DLGC_HASSETSEL));
    if (msg.message == WM_SYSCHAR || charToButton) {
        wchar_t key = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
            ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(msg.wParam)))));
        for (auto& c : form.Controls()) {
            if (!IsButtonKind(c->Kind()) || !c->TakesFocus() || AccessKey(c->Caption()) != key) continue;
            if (c->Kind() != ControlKind::CommandButton) c->SetFocus();
            ::SendMessageW(c->hwnd(), BM_CLICK, 0, 0);
            return true;
        }
    }
    return ::IsDialogMessageW(root, &msg);
}

void RunMessageLoop() {
    // The application window comes now, after start-up has shown what it shows: the first
    // window of a process pays for the display's start, and that should be the window the
    // user waits for, not a hidden one ahead of it.
    Form::ApplicationWindow();
    MSG msg;
    while (!Form::Forms().empty() && ::GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
}

}  // namespace qs::toolkit
