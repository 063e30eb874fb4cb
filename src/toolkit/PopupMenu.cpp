// Pop-up menus built from a form's menu design.
#include <functional>

#include "toolkit/Form.h"

namespace qs::toolkit {

void Form::PopupMenu(Control& menu, unsigned flags, Control* defaultItem) {
    if (!hwnd_) Load();
    std::vector<Control*> commands;
    // Builds the visible items of `parent` into a new pop-up menu.
    std::function<HMENU(const Control&)> build = [&](const Control& parent) {
        HMENU popup = ::CreatePopupMenu();
        for (Control* item : parent.MenuItems) {
            if (!item->Visible()) continue;
            if (item->Caption() == L"-") {
                ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else if (!item->MenuItems.empty()) {
                ::AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(build(*item)), item->Caption().c_str());
            } else {
                commands.push_back(item);
                UINT id = static_cast<UINT>(commands.size());
                ::AppendMenuW(popup, MF_STRING, id, item->Caption().c_str());
                if (item == defaultItem) ::SetMenuDefaultItem(popup, id, FALSE);
            }
        }
        return popup;
    };
    unique_hmenu popup(build(menu));
    POINT at;
    ::GetCursorPos(&at);
    // The shell needs the owner in the foreground, or the menu would not close when the
    // user clicks elsewhere; WM_NULL afterwards lets it finish the menu properly.
    ::SetForegroundWindow(hwnd_);
    // What the system has to tell this thread (under Wine, the display server's news of
    // focus moves that happened before now) is read before the menu opens, not inside its
    // loop, where a focus loss long over would close it. On Windows this returns at once.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    UINT trackFlags = TPM_RETURNCMD | TPM_NONOTIFY | ((flags & vbPopupMenuRightButton) ? TPM_RIGHTBUTTON : 0);
    int chosen = ::TrackPopupMenuEx(popup.get(), trackFlags, at.x, at.y, hwnd_, nullptr);
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (chosen > 0 && static_cast<size_t>(chosen) <= commands.size() && commands[chosen - 1]->Click)
        commands[chosen - 1]->Click();
}

}  // namespace qs::toolkit
