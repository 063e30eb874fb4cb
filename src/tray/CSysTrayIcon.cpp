// The tray icon component.
#include "tray/CSysTrayIcon.h"

#include <cstring>

#include "base/Frames.h"
#include "text/Ansi.h"
#include "text/Number.h"
#include "toolkit/Icons.h"
#include "toolkit/Screen.h"
#include "base/App.h"

namespace qs {
namespace {

std::wstring Source(const wchar_t* area) { return App::EXEName() + area; }

// Runs an operation of the component: its own errors pass, any other failure becomes
// "CSysTrayIcon component failure" under the operation's source.
template <class Body>
decltype(auto) Operation(const wchar_t* area, Body&& body) {
    return componentRaise(CSysTrayIcon::errComponent, Source(area), L"CSysTrayIcon component failure",
                          std::forward<Body>(body));
}

UINT TaskbarCreated() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace

CSysTrayIcon::CSysTrayIcon() {
    criticalBox(L"Quorset.CSysTrayIcon.Class_Initialize", [&] {
        displayEvent_ = WM_RBUTTONDOWN;
        popupFlags_ = 2;
        record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    });
}

CSysTrayIcon::~CSysTrayIcon() {
    *alive_ = false;
    ignoring([&] { HideIcon(); });
    ignoring([&] { StopOffering(); });
    ignoring([&] { OwnerForm(nullptr); });
}

void CSysTrayIcon::FitTip(char (&field)[64], const std::wstring& text) {
    // 63 bytes and the terminator, never half a character of a double-byte code page.
    std::string bytes = text::ToAnsiWithin(text, 63);
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, bytes.c_str(), bytes.size() + 1);
}

void CSysTrayIcon::Send(DWORD operation, UINT flags, int32_t errorNumber, const wchar_t* description) {
    record_.uFlags = flags;
    if (!::Shell_NotifyIconA(operation, &record_)) Raise(errorNumber, Source(L".CSysTrayIcon"), description);
}

HICON CSysTrayIcon::ShellIcon() {
    // The notification area shows small icons at the dots per inch of its own monitor.
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    UINT dpi = tray ? ::GetDpiForWindow(tray) : 0;
    shellIcon_ = toolkit::IconAtSize(icon_, ::GetSystemMetricsForDpi(SM_CXSMICON, dpi ? dpi : ::GetDpiForSystem()));
    return shellIcon_ ? shellIcon_.get() : icon_;
}

bool CSysTrayIcon::Offer(DWORD operation) {
    record_.hIcon = ShellIcon();
    FitTip(reinterpret_cast<char(&)[64]>(record_.szTip), toolTip_);
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    return ::Shell_NotifyIconA(operation, &record_) != FALSE;
}

bool CSysTrayIcon::GiveIcon() {
    record_.hIcon = ShellIcon();
    record_.uFlags = NIF_ICON;
    return ::Shell_NotifyIconA(NIM_MODIFY, &record_) != FALSE;
}

void CSysTrayIcon::ShowIcon() {
    Operation(L".CSysTrayIcon", [&] {
        if (shown_) return;
        if (!owner_ || !icon_) Raise(errNotInitialized, Source(L".CSysTrayIcon"), L"Object not properly initialized.");
        StopOffering();
        record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record_.hWnd = owner_->hwnd();
        record_.uID = 0;
        record_.uCallbackMessage = WM_MOUSEMOVE;
        wanted_ = true;
        if (!Offer(NIM_ADD)) {
            // The shell waits only so long for the notification area: at log-on it may
            // answer failure and add the icon all the same. An icon it holds is shown;
            // one it does not hold comes as soon as the shell takes it. Either way the
            // failed add is reported.
            if (Offer(NIM_MODIFY)) shown_ = true;
            else KeepOffering();
            Raise(errShowIcon, Source(L".CSysTrayIcon"), L"Could not show icon");
        }
        shown_ = true;
    });
}

void CSysTrayIcon::HideIcon() {
    Operation(L".CSysTrayIcon", [&] {
        wanted_ = false;
        StopOffering();
        if (!shown_) return;
        if (!::Shell_NotifyIconA(NIM_DELETE, &record_))
            Raise(errHideIcon, Source(L".CSysTrayIcon"), L"Could not hide icon");
        shown_ = false;
    });
}

void CSysTrayIcon::KeepOffering() {
    if (offering_) return;
    vuldsub::MessageHookManager::Instance().HookMessage(this, record_.hWnd, WM_TIMER);
    offering_ = ::SetTimer(record_.hWnd, kRetryTimer, kRetryMilliseconds, nullptr) != 0;
    retriesLeft_ = kRetries;
}

void CSysTrayIcon::StopOffering() {
    if (!offering_) return;
    offering_ = false;
    ::KillTimer(record_.hWnd, kRetryTimer);
    vuldsub::MessageHookManager::Instance().UnhookMessage(this, record_.hWnd, WM_TIMER);
}

void CSysTrayIcon::Init(toolkit::Form* frmOwner, toolkit::Control* mnuPopup, int32_t lngPopupFlags,
                        toolkit::Control* mnuDefault, int32_t lngDisplayEvent) {
    Operation(L".CSysTrayIcon", [&] {
        OwnerForm(frmOwner);
        popupMenu_ = mnuPopup;
        popupFlags_ = lngPopupFlags;
        defaultMenuItem_ = mnuDefault;
        displayEvent_ = lngDisplayEvent;
    });
}

void CSysTrayIcon::DefaultMenuItem(toolkit::Control* item) {
    Operation(L".CSysTrayDefaultMenu", [&] { defaultMenuItem_ = item; });
}

void CSysTrayIcon::DisplayEvent(int32_t value) {
    Operation(L".CSysTrayDisplayEvent", [&] { displayEvent_ = value; });
}

void CSysTrayIcon::PopupFlags(int32_t value) {
    Operation(L".CSysTrayPopupFlags", [&] { popupFlags_ = value; });
}

void CSysTrayIcon::PopupMenu(toolkit::Control* menu) {
    Operation(L".CSysTrayPopupMenu", [&] { popupMenu_ = menu; });
}

void CSysTrayIcon::Icon(HICON HIcon) {
    Operation(L".CSysTrayIcon", [&] {
        icon_ = HIcon;
        if (shown_ && !GiveIcon()) Raise(errModifyIcon, Source(L".CSysTrayIcon"), L"Could not modify icon");
    });
}

void CSysTrayIcon::ToolTip(const std::wstring& text) {
    Operation(L".CSysTrayIcon", [&] {
        toolTip_ = text;
        if (!shown_) return;
        FitTip(reinterpret_cast<char(&)[64]>(record_.szTip), text);
        Send(NIM_MODIFY, NIF_TIP, errModifyTip, L"Could not modify tooltip");
    });
}

void CSysTrayIcon::OwnerForm(toolkit::Form* form) {
    Operation(L".CSysTrayIcon", [&] {
        if (owner_) owner_->MouseMove.Unsubscribe(mouseToken_);
        auto& hooks = vuldsub::MessageHookManager::Instance();
        if (hookedWindow_)
            for (UINT message : {TaskbarCreated(), UINT{WM_DPICHANGED}}) hooks.UnhookMessage(this, hookedWindow_, message);
        owner_ = form;
        hookedWindow_ = nullptr;
        if (!owner_) return;
        mouseToken_ = owner_->MouseMove.Subscribe([this](int, int, float x, float y) { OnMouseMove(x, y); });
        if (!(hookedWindow_ = owner_->hwnd())) return;
        for (UINT message : {TaskbarCreated(), UINT{WM_DPICHANGED}}) hooks.HookMessage(this, hookedWindow_, message);
        // Windows keeps the shell's broadcast from a program that runs elevated unless
        // the window lets it through.
        ::ChangeWindowMessageFilterEx(hookedWindow_, TaskbarCreated(), MSGFLT_ALLOW, nullptr);
    });
}

bool CSysTrayIcon::IsPointerMove(POINT client) const {
    // A real move happens where the pointer is: its message's own cursor position is the
    // point it carries. The shell's notification carries a mouse message and an icon id
    // instead, and comes while the pointer is over the notification area.
    DWORD at = ::GetMessagePos();
    POINT cursor{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    return ::ScreenToClient(owner_->hwnd(), &cursor) && cursor.x == client.x && cursor.y == client.y;
}

void CSysTrayIcon::OnMouseMove(float x, float y) {
    std::shared_ptr<bool> alive = alive_;
    Operation(L".CSysTrayIcon", [&] {
        int32_t message = text::RoundHalfEven(owner_->ScaleX(x, owner_->ScaleMode, toolkit::vbPixels));
        int32_t second = text::RoundHalfEven(owner_->ScaleY(y, owner_->ScaleMode, toolkit::vbPixels));
        if (message == displayEvent_ && popupMenu_ && !IsPointerMove(POINT{message, second})) {
            ::SetForegroundWindow(owner_->hwnd());
            owner_->PopupMenu(*popupMenu_, static_cast<unsigned>(popupFlags_), defaultMenuItem_);
            if (!*alive) return;  // the chosen command released the component
        }
        IconEvent.Raise(message);
    });
}

intptr_t CSysTrayIcon::WindowProc(intptr_t, int32_t lngIMsg, intptr_t lngWParam, intptr_t) {
    // Nothing is reported here: the failed add was, and the icon is offered again.
    ignoring([&] {
        UINT message = static_cast<UINT>(lngIMsg);
        if (!wanted_ || (message == WM_TIMER && static_cast<UINT_PTR>(lngWParam) != kRetryTimer)) return;
        if (message == WM_DPICHANGED) {
            if (shown_) GiveIcon();
            return;
        }
        // A new taskbar or the retry timer. An add that fails because the icon is there
        // (still, or taken late) is no error; the icon is then given the whole record.
        if (Offer(NIM_ADD) || Offer(NIM_MODIFY)) shown_ = true;
        if (shown_ || (message == WM_TIMER && --retriesLeft_ == 0)) StopOffering();
    });
    return 0;
}

}  // namespace qs
