// The launcher window and its launch actions.
#include "launcher/frmLaunch.h"

#include "dialogs/frmAbout.h"
#include "dialogs/frmConfigure.h"
#include "errors/Frames.h"
#include "errors/MExceptionHandler.h"
#include "language/modLanguage.h"
#include "launcher/modBitOps.h"
#include "base/StartMarks.h"
#include "base/modSupport.h"
#include "text/Number.h"
#include "base/App.h"
#include "base/Notice.h"

#ifndef QUORSET_WEB_ADDRESS
#define QUORSET_WEB_ADDRESS L"https://www.example.com/"
#endif

namespace qs {

std::unique_ptr<frmLaunch> gLaunch;

namespace {

using toolkit::ControlAt;
using toolkit::ControlKind;
using toolkit::MenuItem;

toolkit::FormDesign Design() {
    toolkit::FormDesign form;
    form.name = L"frmLaunch";
    form.caption = L"Quorset";
    form.tag = L"1414";
    form.border = toolkit::BorderStyle::SizableToolWindow;
    form.showInTaskbar = false;
    form.clientWidth = 2415;
    form.clientHeight = 615;

    auto images = ControlAt(ControlKind::ImageList, L"imlToolbar", L"", L"", 0, 0, 0, 0, 0);
    images.pictures = {{L"vuld", 201, 211}, {L"ide", 202, 212}, {L"tamrel", 203, 213}, {L"help", 204, 214}, {L"www", 205, 215}};
    form.controls.push_back(images);

    auto toolbar = ControlAt(ControlKind::Toolbar, L"tbToolbar", L"", L"", 0, 0, 2415, 615, 0);
    toolbar.imageList = L"imlToolbar";
    toolbar.buttons = {{L"vuld", L"1406", L"Vuld", L"vuld"},
                       {L"ide", L"1407", L"VuldIDE", L"ide"},
                       {L"tamrel", L"1423", L"Tamrel", L"tamrel"},
                       {L"help", L"1408", L"Help", L"help"},
                       {L"www", L"1409", L"BROM on the Web", L"www"}};
    form.controls.push_back(toolbar);

    form.controls.push_back(MenuItem(L"mnuPopup", 0, L"1400 Popup", false));
    form.controls.push_back(MenuItem(L"mnuPopupShowToolbar", 1, L"1401 Show Toolbar", true));
    form.controls.push_back(MenuItem(L"mnuPopupHideToolbar", 1, L"1402 Hide Toolbar", true));
    form.controls.push_back(MenuItem(L"mnuPopupBar3", 1, L"-", false));
    form.controls.push_back(MenuItem(L"mnuPopupLaunch", 1, L"1416 Launch", false));
    form.controls.push_back(MenuItem(L"mnuPopupLaunchItem", 2, L"1417 Vuld", true, 1));
    form.controls.push_back(MenuItem(L"mnuPopupLaunchItem", 2, L"1418 VuldIDE", true, 2));
    form.controls.push_back(MenuItem(L"mnuPopupLaunchItem", 2, L"1419 Tamrel", true, 3));
    form.controls.push_back(MenuItem(L"mnuPopupLaunchItem", 2, L"1420 Help", true, 4));
    form.controls.push_back(MenuItem(L"mnuPopupLaunchItem", 2, L"1421 BROM on the Web", true, 5));
    form.controls.push_back(MenuItem(L"mnuPopupBar1", 1, L"-", true));
    form.controls.push_back(MenuItem(L"mnuPopupUnload", 1, L"1403 Exit Quorset", true));
    form.controls.push_back(MenuItem(L"mnuPopupBar2", 1, L"-", false));
    form.controls.push_back(MenuItem(L"mnuPopupConfigure", 1, L"1410 Configure Quorset", false));
    form.controls.push_back(MenuItem(L"mnuPopupAbout", 1, L"1404 About Quorset", false));
    return form;
}

}  // namespace

frmLaunch::frmLaunch() : Form(Design()) {
    mnuPopupShowToolbar.Click = [this] { mnuPopupShowToolbar_Click(); };
    mnuPopupHideToolbar.Click = [this] { mnuPopupHideToolbar_Click(); };
    mnuPopupUnload.Click = [this] { mnuPopupUnload_Click(); };
    mnuPopupConfigure.Click = [this] { mnuPopupConfigure_Click(); };
    mnuPopupAbout.Click = [this] { mnuPopupAbout_Click(); };
    for (int16_t i = 1; i <= 5; ++i) (*this)(L"mnuPopupLaunchItem", i).Click = [this, i] { mnuPopupLaunchItem_Click(i); };
    tbToolbar.ButtonClick = [this](toolkit::ToolbarButton& b) { tbToolbar_ButtonClick(b); };
}

frmLaunch::~frmLaunch() = default;

void frmLaunch::Form_Load() {
    framed(L"frmLaunch.Form_Load", [&] {
        QS_START_MARK("form built");
        LoadResources();
        QS_START_MARK("texts");
        mobjAppSettings = std::make_unique<CAppSettings>();
        QS_START_MARK("settings");
        mobjIcon = modLanguage::GetResPicture(1401, 1);
        Icon(modLanguage::PictureHandle(Required(mobjIcon)));
        QS_START_MARK("icon");
        mobjFormPos = std::make_unique<CFormPos>();
        mobjFormPos->Form(this);
        if (!mobjFormPos->RestoreForm(true)) mobjFormPos->CenterForm();
        QS_START_MARK("placement");
        auto& hooks = vuldsub::MessageHookManager::Instance();
        hooks.HookMessage(this, hwnd(), WM_ACTIVATE);
        hooks.HookMessage(this, hwnd(), WM_SYSCOMMAND);
        SetupSysMenu();
        { vuldsub::ShellLauncher launcher; }  // the library is there before the first launch
        mobjSysTray = std::make_unique<CSysTrayIcon>();
        mobjSysTray->IconEvent.Subscribe([this](int32_t e) { mobjSysTray_IconEvent(e); });
        mobjSysTray->Init(this, &mnuPopup, 2, &mnuPopupShowToolbar, WM_RBUTTONDOWN);
        mobjSysTray->ToolTip(Caption());
        mobjSysTray->Icon(Icon());
        mobjSysTray->ShowIcon();
        QS_START_MARK("tray icon");
    });
}

void frmLaunch::LoadResources() {
    framed(L"frmLaunch.LoadResources", [&] {
        modLanguage::LoadFormResources(*this);
        tbToolbar.Caption(Caption());  // what a screen reader calls the toolbar
        for (auto& button : tbToolbar.Buttons)
            if (!button.Tag.empty()) tbToolbar.ButtonToolTip(button.Index, modLanguage::GetResString(text::ToLong(button.Tag)));
    });
}

void frmLaunch::SetupSysMenu() {
    framed(L"frmLaunch.SetupSysMenu", [&] {
        HMENU menu = ::GetSystemMenu(hwnd(), FALSE);
        ::AppendMenuW(menu, MF_SEPARATOR, 0, L"0");
        ::AppendMenuW(menu, MF_STRING, kConfigureCommand, modLanguage::GetResString(1405).c_str());
        ::AppendMenuW(menu, MF_STRING, kAboutCommand, modLanguage::GetResString(1404).c_str());
    });
}

int32_t frmLaunch::MsgResponse() {
    UINT message = vuldsub::MessageHookManager::Instance().ActiveMessage();
    return message == WM_ACTIVATE || message == WM_SYSCOMMAND ? vuldsub::emrPreprocess : 0;
}

intptr_t frmLaunch::WindowProc(intptr_t lngHwnd, int32_t lngIMsg, intptr_t lngWParam, intptr_t) {
    // Errors are skipped statement by statement here; nothing is reported.
    if (lngHwnd != reinterpret_cast<intptr_t>(hwnd())) return 0;
    if (lngIMsg == WM_ACTIVATE) {
        bool inactive = false, autoHide = false;
        ignoring([&] { inactive = modBitOps::LoWord(static_cast<int32_t>(lngWParam)) == WA_INACTIVE; });
        ignoring([&] { autoHide = mobjAppSettings && mobjAppSettings->AutoHide(); });
        if (inactive && autoHide && !mfModalOpen) ignoring([&] { Hide(); });
    } else if (lngIMsg == WM_SYSCOMMAND) {
        if (lngWParam == kAboutCommand) ignoring([&] { mnuPopupAbout_Click(); });
        if (lngWParam == kConfigureCommand) ignoring([&] { mnuPopupConfigure_Click(); });
    }
    return 0;
}

void frmLaunch::mobjSysTray_IconEvent(int32_t SysTrayIconEvent) {
    framed(L"frmLaunch.mobjSysTray_IconEvent", [&] {
        if (SysTrayIconEvent == WM_LBUTTONDBLCLK) Show();
    });
}

void frmLaunch::mnuPopupShowToolbar_Click() {
    framed(L"frmLaunch.mnuPopupShowToolbar_Click", [&] { Show(); });
}

void frmLaunch::mnuPopupHideToolbar_Click() {
    framed(L"frmLaunch.mnuPopupHideToolbar_Click", [&] { Hide(); });
}

void frmLaunch::mnuPopupUnload_Click() {
    framed(L"frmLaunch.mnuPopupUnload_Click", [&] {
        mfUnloading = true;
        Unload();
    });
}

void frmLaunch::mnuPopupAbout_Click() {
    framed(L"frmLaunch.mnuPopupAbout_Click", [&] {
        mfModalOpen = true;
        auto about = std::make_unique<frmAbout>();
        about->Load();
        // The box has no title: a screen reader names it after the entry that opened it.
        about->ScreenReaderName(about->hwnd(), mnuPopupAbout.Caption());
        about->Initialize(1);
        about->ShowModal(this);
        about->Unload();
        about.reset();
        mfModalOpen = false;
    });
}

void frmLaunch::mnuPopupConfigure_Click() {
    framed(L"frmLaunch.mnuPopupConfigure_Click", [&] {
        mfModalOpen = true;
        auto configure = std::make_unique<frmConfigure>();
        configure->Load();
        configure->Initialize(Required(mobjAppSettings));
        configure->ShowModal(this);
        configure->Unload();
        configure.reset();
        mfModalOpen = false;
    });
}

void frmLaunch::Form_QueryUnload(bool& Cancel, int UnloadMode) {
    framed(L"frmLaunch.Form_QueryUnload", [&] {
        if (UnloadMode == toolkit::vbAppWindows || UnloadMode == toolkit::vbAppTaskManager) mfUnloading = true;
        if (!mfUnloading) {
            Cancel = true;
            Hide();
        }
    });
}

void frmLaunch::Form_Unload(bool&) {
    framed(L"frmLaunch.Form_Unload", [&] {
        mobjSysTray.reset();
        Required(mobjFormPos).SaveForm();
        mobjFormPos.reset();
        auto& hooks = vuldsub::MessageHookManager::Instance();
        hooks.UnhookMessage(this, hwnd(), WM_ACTIVATE);
        hooks.UnhookMessage(this, hwnd(), WM_SYSCOMMAND);
        mobjAppSettings.reset();
        MExceptionHandler::RemoveExceptionFilter();
    });
}

// ---------------------------------------------------------------- launch actions

void frmLaunch::Launch(const int16_t& item) {
    framed(L"frmLaunch.Launch", [&] {
        // The programs of the folder and the message when one does not start.
        auto startProgram = [&](const wchar_t* file) {
            vuldsub::ShellLauncher launcher;
            std::wstring folder = modSupport::AppPath();
            if (launcher.LaunchFile(reinterpret_cast<intptr_t>(hwnd()), folder + file, L"", folder, SW_SHOWNORMAL) != -1)
                MsgBox(modLanguage::GetResString(1205), MB_OK | MB_ICONEXCLAMATION);
        };
        switch (item) {
        case 1: startProgram(L"vuld.exe"); break;
        case 2: startProgram(L"vuldide.exe"); break;
        case 3: startProgram(L"brupdate.exe"); break;
        case 4: {
            vuldsub::ShellLauncher launcher;
            std::wstring folder = modSupport::AppPath();
            std::wstring help = folder + text::NumberText(modLanguage::GetActiveLocaleID()) + L"\\vuldhelp.chm";
            if (launcher.LaunchFile(0, help, L"", folder, SW_SHOWNORMAL) != -1)
                MsgBox(modLanguage::GetResString(1204), MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        case 5: {
            vuldsub::ShellLauncher launcher;
            (void)launcher.LaunchAddress(reinterpret_cast<intptr_t>(hwnd()), QUORSET_WEB_ADDRESS, SW_SHOWNORMAL);
            break;
        }
        default: break;
        }
    });
}

void frmLaunch::tbToolbar_ButtonClick(toolkit::ToolbarButton& Button) {
    framed(L"frmLaunch.tbToolbar_ButtonClick", [&] { Launch(static_cast<int16_t>(Button.Index)); });
}

void frmLaunch::mnuPopupLaunchItem_Click(int16_t Index) {
    framed(L"frmLaunch.mnuPopupLaunchItem_Click", [&] { Launch(Index); });
}

}  // namespace qs
