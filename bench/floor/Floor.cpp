// The floor the start-up and memory figures are held against: the least Win32 program
// that does Quorset's visible job. A tool window with a toolbar of five buttons with
// pictures and tips, and one tray icon; nothing else. "/S" starts it hidden.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

#include "base/StartMarks.h"

namespace {

NOTIFYICONDATAW gIcon{};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HWND toolbar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                         WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER, 0, 0,
                                         0, 0, window, nullptr, nullptr, nullptr);
        ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
        ::SendMessageW(toolbar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard));
        TBBUTTON buttons[5]{};
        for (int i = 0; i < 5; ++i) buttons[i] = TBBUTTON{i, 100 + i, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
        ::SendMessageW(toolbar, TB_ADDBUTTONS, 5, reinterpret_cast<LPARAM>(buttons));
        ::SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
        QS_START_MARK(" toolbar");
        gIcon.cbSize = sizeof gIcon;
        gIcon.hWnd = window;
        gIcon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
        gIcon.uCallbackMessage = WM_APP;
        gIcon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
        std::wcscpy(gIcon.szTip, L"Floor");
        ::Shell_NotifyIconW(NIM_ADD, &gIcon);
        QS_START_MARK("tray icon");
        return 0;
    }
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        if (info->hdr.code == TTN_GETDISPINFOW) info->lpszText = const_cast<wchar_t*>(L"Start");
        return 0;
    }
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::Shell_NotifyIconW(NIM_DELETE, &gIcon);
        ::PostQuitMessage(0);
        return 0;
    default: return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    QS_START_MARK("entry point");
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuorsetFloor";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 180, 80, nullptr, nullptr, instance, nullptr);
    QS_START_MARK("window created");
    if (!std::wcsstr(arguments, L"/S")) ::ShowWindow(window, SW_SHOW);
    QS_START_MARK("window shown");
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
