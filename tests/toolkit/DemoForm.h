// A test-only form: an image list, a check box inside a frame, a button, and a menu tree
// like the launcher's (a hidden submenu, separators). Every kind of control is built by
// the program's own forms, in the launcher's and the dialogs' tests.
#pragma once

#include "toolkit/Design.h"

namespace qs::test {

inline toolkit::FormDesign DemoDesign() {
    using K = toolkit::ControlKind;
    using toolkit::MenuItem;
    using toolkit::ControlAt;

    toolkit::FormDesign form{L"frmDemo", L"Configure Quorset", L"1411", toolkit::BorderStyle::FixedDialog, false, false,
                             6000, 4200};

    auto images = ControlAt(K::ImageList, L"imlToolbar", L"", L"", 0, 0, 0, 0, 0);
    images.pictures = {{L"vuld", 201, 211}, {L"ide", 202, 212}, {L"tamrel", 203, 213}, {L"help", 204, 214}, {L"www", 205, 215}};
    form.controls.push_back(images);

    form.controls.push_back(ControlAt(K::Frame, L"fraBorder", L"", L"", 240, 1140, 5520, 2040, 2));
    form.controls.push_back(ControlAt(K::CheckBox, L"chkAutoHide",
                                    L"Automatically &hide the toolbar when it looses focus", L"1412", 240, 780, 5040,
                                    360, 4, L"fraBorder"));
    form.controls.push_back(ControlAt(K::CommandButton, L"cmdOK", L"&OK", L"101", 2400, 3660, 1080, 375, 8));

    form.controls.push_back(MenuItem(L"mnuPopup", 0, L"1400 Popup", false));
    form.controls.push_back(MenuItem(L"mnuPopupShowToolbar", 1, L"1401 Show Toolbar"));
    form.controls.push_back(MenuItem(L"mnuPopupHideToolbar", 1, L"1402 Hide Toolbar"));
    form.controls.push_back(MenuItem(L"mnuPopupBar3", 1, L"-", false));
    form.controls.push_back(MenuItem(L"mnuPopupLaunch", 1, L"1416 Launch", false));
    form.controls.push_back(MenuItem(L"mnuPopupLaunchItem", 2, L"1417 Vuld", true, 1));
    form.controls.push_back(MenuItem(L"mnuPopupLaunchItem", 2, L"1418 VuldIDE", true, 2));
    form.controls.push_back(MenuItem(L"mnuPopupBar1", 1, L"-"));
    form.controls.push_back(MenuItem(L"mnuPopupUnload", 1, L"1403 Exit Quorset"));
    return form;
}

}  // namespace qs::test
