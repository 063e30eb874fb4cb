// The floors the start-up and memory figures are held against. The floor is the least
// Win32 program that does Quorset's visible job: a tool window with a toolbar of five
// buttons with pictures and tips, and one tray icon; nothing else. "/S" starts it hidden.
// The platform floor (built with QUORSET_PLATFORM_FLOOR) does besides, before its window shows
// and the least way the platform allows, the work Quorset must do first: the COM
// apartment, the locale's resource component created by its programmatic identifier
// with the window's texts, the tips and the icon read from it, the application-data
// folder looked up, and the settings and the placement read from the registry.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#ifdef QUORSET_PLATFORM_FLOOR
#include <shlobj.h>
#include "vuldres/IVuldResources.h"
#endif

#include <cwchar>

#include "base/StartMarks.h"

namespace {

NOTIFYICONDATAW gIcon{};
// What the window shows: its title, the buttons' tips and the icon (no C++ library: the
// floors stay the least programs that do their job).
wchar_t gTitle[128] = L"Floor", gTips[5][128] = {L"Start", L"Start", L"Start", L"Start", L"Start"};
HICON gWindowIcon = nullptr;

#ifdef QUORSET_PLATFORM_FLOOR
void ReadFromRegistry(const char* key, const char* value) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return;
    char text[256];
    DWORD size = sizeof text;
    ::RegQueryValueExA(handle, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(handle);
}

void Text(IVuldResources& component, LONG id, wchar_t (&into)[128]) {
    BSTR text = nullptr;
    if (SUCCEEDED(component.GetResString(id, &text)) && text) std::wcsncpy(into, text, 127);
    ::SysFreeString(text);
}

// The component and the picture stay for the program's life, as Quorset's do.
void PlatformWork() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    char folder[MAX_PATH];
    ::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
    ReadFromRegistry("SOFTWARE\\Brom\\Quorset\\Settings", "AutoHide");
    ReadFromRegistry("SOFTWARE\\Brom\\Quorset\\Settings", "AutoRun");
    ReadFromRegistry("SOFTWARE\\Brom\\Quorset\\Positions", "frmLaunch");
    CLSID clsid{};
    wchar_t progId[64];
    std::swprintf(progId, 64, L"Vuld%lu.Resources", ::GetUserDefaultLCID());
    IVuldResources* component = nullptr;
    if (FAILED(::CLSIDFromProgID(progId, &clsid)) ||
        FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVuldResources,
                                  reinterpret_cast<void**>(&component))))
        ::CoCreateInstance(CLSID_VuldResourcesDefault, nullptr, CLSCTX_INPROC_SERVER, IID_IVuldResources,
                           reinterpret_cast<void**>(&component));
    if (!component) return;
    // The texts of the window's design: its title, its menus' captions and the system
    // menu's entries, then the tips.
    Text(*component, 1414, gTitle);
    wchar_t caption[128];
    const LONG captions[] = {1400, 1401, 1402, 1416, 1417, 1418, 1419, 1420, 1421, 1403, 1410, 1404, 1405};
    for (LONG id : captions) Text(*component, id, caption);
    const LONG tips[5] = {1406, 1407, 1423, 1408, 1409};
    for (int i = 0; i < 5; ++i) Text(*component, tips[i], gTips[i]);
    IPictureDisp* picture = nullptr;
    IPicture* icon = nullptr;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(component->GetResPicture(1401, vuldIcon, &picture)) &&
        SUCCEEDED(picture->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&icon))) &&
        SUCCEEDED(icon->get_Handle(&handle)))
        gWindowIcon = reinterpret_cast<HICON>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
}
#endif

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
        gIcon.hIcon = gWindowIcon;
        std::wcsncpy(gIcon.szTip, gTitle, 127);
        ::Shell_NotifyIconW(NIM_ADD, &gIcon);
        QS_START_MARK("tray icon");
        return 0;
    }
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        UINT_PTR button = info->hdr.idFrom - 100;
        if (info->hdr.code == TTN_GETDISPINFOW && button < 5) info->lpszText = gTips[button];
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
    gWindowIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
#ifdef QUORSET_PLATFORM_FLOOR
    PlatformWork();
    QS_START_MARK("platform work");
#endif
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = gWindowIcon;
    wc.lpszClassName = L"QuorsetFloor";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, gTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
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
