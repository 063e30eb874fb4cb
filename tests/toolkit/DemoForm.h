// A test-only form with one control of every kind the toolkit builds, and a menu tree
// like the launcher's; its Tags and menu captions carry resource ids.
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

    auto toolbar = ControlAt(K::Toolbar, L"tbToolbar", L"", L"", 0, 0, 6000, 600, 0);
    toolbar.imageList = L"imlToolbar";
    toolbar.buttons = {{L"vuld", L"1406", L"Vuld", L"vuld"},
                       {L"ide", L"1407", L"VuldIDE", L"ide"},
                       {L"tamrel", L"1423", L"Tamrel", L"tamrel"},
                       {L"help", L"1408", L"Help", L"help"},
                       {L"www", L"1409", L"BROM on the Web", L"www"}};
    form.controls.push_back(toolbar);

    auto tabs = ControlAt(K::TabStrip, L"tabTab", L"", L"1413", 120, 720, 5760, 2580, 1);
    tabs.tabs = {{L"Options", L"1413"}, {L"Advanced", L""}};
    form.controls.push_back(tabs);
    form.controls.push_back(ControlAt(K::Frame, L"fraBorder", L"", L"", 240, 1140, 5520, 2040, 2));
    form.controls.push_back(ControlAt(K::CheckBox, L"chkAutorun", L"&Run this program when Windows starts", L"1422",
                                    240, 300, 5040, 360, 3, L"fraBorder"));
    form.controls.push_back(ControlAt(K::CheckBox, L"chkAutoHide",
                                    L"Automatically &hide the toolbar when it looses focus", L"1412", 240, 780, 5040,
                                    360, 4, L"fraBorder"));
    form.controls.push_back(ControlAt(K::Label, L"lblNote", L"Design-time note", L"", 240, 1320, 5040, 480, 5,
                                    L"fraBorder"));
    form.controls.push_back(ControlAt(K::Line, L"linSeparator", L"", L"", 120, 3420, 5760, 30, 6));
    auto logo = ControlAt(K::Image, L"imgLogo", L"", L"14002", 180, 3600, 480, 480, 7);
    logo.iconResource = 1;
    form.controls.push_back(logo);
    auto ok = ControlAt(K::CommandButton, L"cmdOK", L"&OK", L"101", 2400, 3660, 1080, 375, 8);
    ok.isDefault = true;
    form.controls.push_back(ok);
    auto close = ControlAt(K::CommandButton, L"cmdClose", L"&Close", L"103", 3600, 3660, 1080, 375, 9);
    close.isCancel = true;
    form.controls.push_back(close);
    form.controls.push_back(ControlAt(K::CommandButton, L"cmdApply", L"&Apply", L"104", 4800, 3660, 1080, 375, 10));

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
