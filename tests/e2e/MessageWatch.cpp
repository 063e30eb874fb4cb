// Loaded into the program by the tray-menu driver (tests/e2e/Driver.h, MenuWatch) as the
// hook of its window thread's sent messages: tells the driver's window, in order, when the
// program's pop-up menu shows and hides, and when the system cancels the program's modes
// or takes its activation away meanwhile.
#include <windows.h>

#include <cwchar>

extern "C" __declspec(dllexport) LRESULT CALLBACK QuorsetMessageWatch(int code, WPARAM wParam, LPARAM lParam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    LPARAM what = 0;
    if (code != HC_ACTION) {
    } else if (sent.message == WM_CANCELMODE) {
        what = 'C';
    } else if (sent.message == WM_ACTIVATE && LOWORD(sent.wParam) == WA_INACTIVE) {
        what = 'D';
    } else if (sent.message == WM_WINDOWPOSCHANGED) {
        UINT flags = reinterpret_cast<const WINDOWPOS*>(sent.lParam)->flags;
        wchar_t name[8] = L"";
        if ((flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) && ::GetClassNameW(sent.hwnd, name, 8) && !std::wcscmp(name, L"#32768"))
            what = flags & SWP_SHOWWINDOW ? 'S' : 'H';
    }
    if (HWND driver = what ? ::FindWindowW(L"QuorsetMessageWatch", nullptr) : nullptr) ::PostMessageW(driver, WM_APP, 0, what);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
