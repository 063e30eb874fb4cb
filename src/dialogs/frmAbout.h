// The About box: logo, product name, version, copyright lines and the legal warning.
#pragma once

#include <cstdint>

#include "toolkit/Form.h"

namespace qs {

class frmAbout : public toolkit::Form {
public:
    frmAbout();
    // Style 1: the standard box. Style 2: a compact box without the OK button, the warning
    // and the second copyright line. Other styles beep.
    void Initialize(int32_t FormStyle);

protected:
    void Form_Load() override;

private:
    void LoadResources();
    void cmdOK_Click();
    void cmdFocus_Click();

    // The controls, resolved once from the design.
    toolkit::Control& cmdFocus = Find(L"cmdFocus");
    toolkit::Control& cmdOK = Find(L"cmdOK");
    toolkit::Control& lblTitle = Find(L"lblTitle");
    toolkit::Control& lblVersion = Find(L"lblVersion");
    toolkit::Control& lblRelease = Find(L"lblRelease");
    toolkit::Control& lblDisclaimer = Find(L"lblDisclaimer");
    toolkit::Control& lblCopyright0 = Find(L"lblCopyright", 0);
    toolkit::Control& lblCopyright2 = Find(L"lblCopyright", 2);
};

}  // namespace qs
