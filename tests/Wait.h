// The tests' one way to wait: poll a condition until a deadline, handling this thread's
// own window messages meanwhile (its windows must answer while it waits).
#pragma once

#include <windows.h>

namespace qs::test {

// Handles the messages waiting for this thread, without waiting for more.
inline void DrainMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// True as soon as `condition` holds; false when it still does not at the deadline.
template <class Condition>
bool WaitFor(Condition condition, int milliseconds = 10000) {
    ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;) {
        DrainMessages();
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// Returns once the thread that owns `window` has handled everything sent to it before,
// painted what that changed, and read what the display server told it meanwhile: the
// synchronisation before a check that nothing happened, and before a step that the
// program must meet at rest. Under Wine the display server's news (the keyboard focus
// moving between the program's windows, for one) reaches the program later than its own
// changes; were a focus loss that is long over read while a menu is open, it would close
// the menu. Reading a pixel of the screen waits until the server has done everything
// asked of it before, and so has sent that news; the last round trip lets the program
// read it.
inline bool Settle(HWND window) {
    DWORD_PTR ignored = 0;
    auto handled = [&] { return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored) != 0; };
    if (!handled()) return false;
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC screen = ::GetDC(nullptr);
    ::GetPixel(screen, 0, 0);
    ::ReleaseDC(nullptr, screen);
    return handled();
}

}  // namespace qs::test
