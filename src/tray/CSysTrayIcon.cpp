// The tray icon component.
#include "tray/CSysTrayIcon.h"

#include <cstring>

#include "base/Frames.h"
#include "text/Ansi.h"
#include "text/Number.h"
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
    ignoring([&] { OwnerForm(nullptr); });
}

void CSysTrayIcon::FitTip(char (&field)[64], const std::wstring& text) {
    std::string bytes = text::ToAnsi(text).substr(0, 63);
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, bytes.c_str(), bytes.size() + 1);
}

void CSysTrayIcon::Send(DWORD operation, UINT flags, int32_t errorNumber, const wchar_t* description) {
    record_.uFlags = flags;
    if (!::Shell_NotifyIconA(operation, &record_)) Raise(errorNumber, Source(L".CSysTrayIcon"), description);
}

void CSysTrayIcon::ShowIcon() {
    Operation(L".CSysTrayIcon", [&] {
        if (shown_) return;
        if (!owner_ || !icon_) Raise(errNotInitialized, Source(L".CSysTrayIcon"), L"Object not properly initialized.");
        record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record_.hWnd = owner_->hwnd();
        record_.uID = 0;
        record_.uCallbackMessage = WM_MOUSEMOVE;
        record_.hIcon = icon_;
        FitTip(reinterpret_cast<char(&)[64]>(record_.szTip), toolTip_);
        Send(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, errShowIcon, L"Could not show icon");
        shown_ = true;
    });
}

void CSysTrayIcon::HideIcon() {
    Operation(L".CSysTrayIcon", [&] {
        if (!shown_) return;
        if (!::Shell_NotifyIconA(NIM_DELETE, &record_))
            Raise(errHideIcon, Source(L".CSysTrayIcon"), L"Could not hide icon");
        shown_ = false;
    });
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
        if (!shown_) return;
        record_.hIcon = HIcon;
        Send(NIM_MODIFY, NIF_ICON, errModifyIcon, L"Could not modify icon");
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
        if (hookedWindow_) vuldsub::MessageHookManager::Instance().UnhookMessage(this, hookedWindow_, TaskbarCreated());
        owner_ = form;
        hookedWindow_ = nullptr;
        if (!owner_) return;
        mouseToken_ = owner_->MouseMove.Subscribe([this](int, int, float x, float y) { OnMouseMove(x, y); });
        if ((hookedWindow_ = owner_->hwnd()))
            vuldsub::MessageHookManager::Instance().HookMessage(this, hookedWindow_, TaskbarCreated());
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

intptr_t CSysTrayIcon::WindowProc(intptr_t, int32_t, intptr_t, intptr_t) {
    // An add that fails because the icon is still there is no error here.
    if (!shown_) return 0;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    ignoring([&] { ::Shell_NotifyIconA(NIM_ADD, &record_); });
    return 0;
}

}  // namespace qs
