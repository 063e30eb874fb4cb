// The configuration dialog.
#include "dialogs/frmConfigure.h"

#include "errors/Frames.h"
#include "language/modLanguage.h"
#include "text/Number.h"

namespace qs {
namespace {

using toolkit::ControlAt;
using toolkit::ControlKind;

toolkit::FormDesign Design() {
    toolkit::FormDesign form;
    form.name = L"frmConfigure";
    form.caption = L"Configure Quorset";
    form.tag = L"1411";
    form.border = toolkit::BorderStyle::FixedDialog;
    form.centerOnOwner = true;
    form.clientWidth = 5925;
    form.clientHeight = 4095;

    auto tabs = ControlAt(ControlKind::TabStrip, L"tabTab", L"", L"", 60, 60, 5835, 3435, 0);
    tabs.tabs = {{L"Options", L"1413"}};
    form.controls.push_back(tabs);
    form.controls.push_back(ControlAt(ControlKind::CheckBox, L"chkAutorun", L"&Run this program when Windows starts",
                                    L"1422", 300, 360, 4875, 255, 1, L"fraBorder"));
    form.controls.push_back(ControlAt(ControlKind::CheckBox, L"chkAutoHide",
                                    L"Automatically &hide the toolbar when it looses focus", L"1412", 300, 840, 4875,
                                    255, 2, L"fraBorder"));
    auto ok = ControlAt(ControlKind::CommandButton, L"cmdOK", L"&OK", L"101", 1320, 3600, 1455, 435, 3);
    ok.isDefault = true;
    form.controls.push_back(ok);
    form.controls.push_back(ControlAt(ControlKind::CommandButton, L"cmdApply", L"&Apply", L"104", 2880, 3600, 1455, 435, 4));
    auto close = ControlAt(ControlKind::CommandButton, L"cmdClose", L"&Close", L"103", 4440, 3600, 1455, 435, 5);
    close.isCancel = true;
    form.controls.push_back(close);
    auto frame = ControlAt(ControlKind::Frame, L"fraBorder", L"", L"", 180, 420, 5595, 2955, 6);
    frame.index = 0;
    form.controls.push_back(frame);
    return form;
}

}  // namespace

frmConfigure::frmConfigure() : Form(Design()) {
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdApply.Click = [this] { cmdApply_Click(); };
    cmdClose.Click = [this] { cmdClose_Click(); };
    tabTab.Click = [this] { tabTab_Click(); };
}

void frmConfigure::Initialize(CAppSettings& Settings) {
    framed(L"frmConfigure.Initialize", [&] {
        mobjSettings = &Settings;
        LoadData();
    });
}

void frmConfigure::Form_Load() {
    framed(L"frmConfigure.Form_Load", [&] { LoadResources(); });
}

void frmConfigure::LoadData() {
    framed(L"frmConfigure.LoadData", [&] {
        if (!mobjSettings) RaiseRuntime(errObjectNotSet);
        chkAutoHide.Value(mobjSettings->AutoHide() ? 1 : 0);
        chkAutorun.Value(mobjSettings->AutoRun() ? 1 : 0);
    });
}

void frmConfigure::LoadResources() {
    framed(L"frmConfigure.LoadResources", [&] {
        modLanguage::LoadFormResources(*this);
        for (auto& tab : tabTab.Tabs)
            if (!tab.Tag.empty()) tabTab.TabCaption(tab.Index, modLanguage::GetResString(text::ToLong(tab.Tag)));
    });
}

void frmConfigure::ApplySettings() {
    framed(L"frmConfigure.ApplySettings", [&] {
        if (!mobjSettings) RaiseRuntime(errObjectNotSet);
        // Greyed counts as ticked: only an empty box means false.
        mobjSettings->AutoHide(chkAutoHide.Value() != 0);
        mobjSettings->AutoRun(chkAutorun.Value() != 0);
    });
}

void frmConfigure::cmdApply_Click() {
    framed(L"frmConfigure.cmdApply_Click", [&] { ApplySettings(); });
}

void frmConfigure::cmdOK_Click() {
    framed(L"frmConfigure.cmdOK_Click", [&] {
        ApplySettings();
        Unload();
    });
}

void frmConfigure::cmdClose_Click() {
    framed(L"frmConfigure.cmdClose_Click", [&] { Unload(); });
}

void frmConfigure::tabTab_Click() {
    framed(L"frmConfigure.tabTab_Click", [&] {
        // Each tab has its page: the frame of the same position in the frame array.
        (*this)(L"fraBorder", tabTab.SelectedTab() - 1).BringToFront();
    });
}

void frmConfigure::Form_Unload(bool&) {
    framed(L"frmConfigure.Form_Unload", [&] { mobjSettings = nullptr; });
}

}  // namespace qs
