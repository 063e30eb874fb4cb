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

}  // namespace qs::test
