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
};

}  // namespace qs
