// The notification-area icon: adds it for an owner window, decodes the owner's
// mouse-move notifications into mouse messages, opens the owner's pop-up menu on the
// chosen one and reports every message as IconEvent.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/Event.h"
#include "base/Handles.h"
#include "toolkit/Form.h"
#include "vuldsub/VuldSub.h"

namespace qs {

class CSysTrayIcon : private vuldsub::ISubclass {
public:
    // Component errors, numbered from the object-defined base.
    static constexpr int32_t errNotInitialized = static_cast<int32_t>(0x8004472D);
    static constexpr int32_t errShowIcon = static_cast<int32_t>(0x8004472E);
    static constexpr int32_t errHideIcon = static_cast<int32_t>(0x8004472F);
    static constexpr int32_t errModifyIcon = static_cast<int32_t>(0x80044730);
    static constexpr int32_t errModifyTip = static_cast<int32_t>(0x80044731);
    static constexpr int32_t errComponent = static_cast<int32_t>(0x80044732);

    CSysTrayIcon();
    ~CSysTrayIcon() override;
    CSysTrayIcon(const CSysTrayIcon&) = delete;
    CSysTrayIcon& operator=(const CSysTrayIcon&) = delete;

    void HideIcon();
    void Init(toolkit::Form* frmOwner, toolkit::Control* mnuPopup = nullptr, int32_t lngPopupFlags = 2,
              toolkit::Control* mnuDefault = nullptr, int32_t lngDisplayEvent = WM_RBUTTONDOWN);
    void ShowIcon();

    toolkit::Control* DefaultMenuItem() const { return defaultMenuItem_; }
    void DefaultMenuItem(toolkit::Control* item);
    int32_t DisplayEvent() const { return displayEvent_; }
    void DisplayEvent(int32_t value);
    HICON Icon() const { return icon_; }
    void Icon(HICON HIcon);
    toolkit::Form* OwnerForm() const { return owner_; }
    void OwnerForm(toolkit::Form* form);
    int32_t PopupFlags() const { return popupFlags_; }
    void PopupFlags(int32_t value);
    toolkit::Control* PopupMenu() const { return popupMenu_; }
    void PopupMenu(toolkit::Control* menu);
    const std::wstring& ToolTip() const { return toolTip_; }
    void ToolTip(const std::wstring& text);

    bool Shown() const { return shown_; }
    // Whether the icon belongs in the tray: from ShowIcon to HideIcon, also while the shell
    // has not taken it yet (at log-on the notification area may not answer for a while).
    bool Wanted() const { return wanted_; }
    // The record as the shell receives it.
    const NOTIFYICONDATAA& Record() const { return record_; }

    Event<int32_t> IconEvent;

    // Fits a tip into the record's 64-byte field: the text in the ANSI code page, a NUL,
    // blanks; a tip of 64 or more bytes is cut to 63 and the NUL, at a character's edge.
    static void FitTip(char (&field)[64], const std::wstring& text);

private:
    void OnMouseMove(float x, float y);
    // Whether the mouse-move being handled is the pointer's own, at `client` pixels,
    // rather than the shell's notification dressed as one.
    bool IsPointerMove(POINT client) const;
    void Send(DWORD operation, UINT flags, int32_t errorNumber, const wchar_t* description);
    // Sends the whole record, with `Icon` at today's size and the tip fitted: NIM_ADD
    // offers the icon; NIM_MODIFY, which succeeds only for an icon the shell holds, tells
    // whether it took one it answered failure for, and brings its copy up to date. True
    // when the shell took the call.
    bool Offer(DWORD operation);
    // Gives the shell the icon again, at today's size; true when it took it.
    bool GiveIcon();
    // `Icon` at the notification area's small-icon size, kept for the record.
    HICON ShellIcon();
    // Offers the icon again every kRetryMilliseconds, at most kRetries times, until the
    // shell takes it.
    void KeepOffering();
    void StopOffering();
    // The owner's messages the component follows: a re-created taskbar (which asks every
    // program to add its icons again), a change of dots per inch, and its retry timer.
    int32_t MsgResponse() override { return vuldsub::emrPostProcess; }
    void MsgResponse(int32_t) override {}
    intptr_t WindowProc(intptr_t, int32_t, intptr_t, intptr_t) override;

    static constexpr UINT_PTR kRetryTimer = 0x51534954;  // "QSIT"
    static constexpr UINT kRetryMilliseconds = 2000;
    static constexpr int kRetries = 60;  // two minutes

    toolkit::Form* owner_ = nullptr;
    Event<int, int, float, float>::Token mouseToken_ = 0;
    HWND hookedWindow_ = nullptr;
    int32_t displayEvent_ = WM_RBUTTONDOWN;
    HICON icon_ = nullptr;
    int32_t popupFlags_ = 2;
    toolkit::Control* popupMenu_ = nullptr;
    toolkit::Control* defaultMenuItem_ = nullptr;
    std::wstring toolTip_;
    bool shown_ = false;
    bool wanted_ = false;
    bool offering_ = false;
    int retriesLeft_ = 0;
    unique_hicon shellIcon_;
    NOTIFYICONDATAA record_{};
    // Cleared when the component is destroyed: a menu command may release it while the
    // notification that opened the menu is still being handled.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qs
