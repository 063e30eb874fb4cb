// The launcher window: the toolbar of launch buttons, the tray icon with its pop-up
// menu, the Configure and About entries of the system menu, auto-hide, and the rule that
// closing only hides.
#pragma once

#include <memory>

#include <ocidl.h>
#include <olectl.h>

#include "settings/CAppSettings.h"
#include "settings/CFormPos.h"
#include "toolkit/Form.h"
#include "tray/CSysTrayIcon.h"
#include "vuldsub/VuldSub.h"

namespace qs {

class frmLaunch : public toolkit::Form, private vuldsub::ISubclass {
public:
    frmLaunch();
    ~frmLaunch() override;

    // Starts launch item `item`: 1 the main application, 2 the companion program, 3 the
    // updater, 4 the locale's help file, 5 the web site; other numbers do nothing.
    void Launch(const int16_t& item);

    // System-menu commands of the two extra entries.
    static constexpr int kAboutCommand = 1000;
    static constexpr int kConfigureCommand = 1001;

    bool ModalOpen() const { return mfModalOpen; }
    CAppSettings* AppSettings() const { return mobjAppSettings.get(); }
    CSysTrayIcon* SysTray() const { return mobjSysTray.get(); }

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void Form_Unload(bool& Cancel) override;

private:
    void LoadResources();
    void SetupSysMenu();
    void mobjSysTray_IconEvent(int32_t SysTrayIconEvent);
    void mnuPopupShowToolbar_Click();
    void mnuPopupHideToolbar_Click();
    void mnuPopupUnload_Click();
    void mnuPopupAbout_Click();
    void mnuPopupConfigure_Click();
    void mnuPopupLaunchItem_Click(int16_t Index);
    void tbToolbar_ButtonClick(toolkit::ToolbarButton& Button);

    int32_t MsgResponse() override;
    void MsgResponse(int32_t) override {}
    intptr_t WindowProc(intptr_t lngHwnd, int32_t lngIMsg, intptr_t lngWParam, intptr_t lngLParam) override;

    std::unique_ptr<CFormPos> mobjFormPos;
    std::unique_ptr<CAppSettings> mobjAppSettings;
    bool mfUnloading = false;
    bool mfModalOpen = false;
    std::unique_ptr<CSysTrayIcon> mobjSysTray;
    com_ptr<IPictureDisp> mobjIcon;  // keeps the window's icon alive

    // The controls, resolved once from the design.
    toolkit::Control& tbToolbar = Find(L"tbToolbar");
    toolkit::Control& mnuPopup = Find(L"mnuPopup");
    toolkit::Control& mnuPopupShowToolbar = Find(L"mnuPopupShowToolbar");
    toolkit::Control& mnuPopupHideToolbar = Find(L"mnuPopupHideToolbar");
    toolkit::Control& mnuPopupUnload = Find(L"mnuPopupUnload");
    toolkit::Control& mnuPopupConfigure = Find(L"mnuPopupConfigure");
    toolkit::Control& mnuPopupAbout = Find(L"mnuPopupAbout");
};

// The one launcher window of the program.
extern std::unique_ptr<frmLaunch> gLaunch;

}  // namespace qs
