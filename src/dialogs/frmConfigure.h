// The configuration dialog: edits the launcher's own settings object.
#pragma once

#include "settings/CAppSettings.h"
#include "toolkit/Form.h"

namespace qs {

class frmConfigure : public toolkit::Form {
public:
    frmConfigure();
    // Keeps the settings to edit and shows their values.
    void Initialize(CAppSettings& Settings);

protected:
    void Form_Load() override;
    void Form_Unload(bool& Cancel) override;

private:
    void LoadData();
    void LoadResources();
    void ApplySettings();
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdClose_Click();
    void tabTab_Click();

    CAppSettings* mobjSettings = nullptr;

    // The controls, resolved once from the design.
    toolkit::Control& tabTab = Find(L"tabTab");
    toolkit::Control& chkAutorun = Find(L"chkAutorun");
    toolkit::Control& chkAutoHide = Find(L"chkAutoHide");
    toolkit::Control& cmdOK = Find(L"cmdOK");
    toolkit::Control& cmdApply = Find(L"cmdApply");
    toolkit::Control& cmdClose = Find(L"cmdClose");
};

}  // namespace qs
