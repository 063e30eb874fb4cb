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
};

}  // namespace qs
