// What screen readers say of a window where its class and text cannot tell it: the name
// of a form without a title or of a button without a caption, and that a form shown
// modally is a dialog. They are annotations of the system's accessibility layer, kept
// while the window lives.
#include <windows.h>
#include <initguid.h>
#include <oleacc.h>

#include "toolkit/Form.h"

namespace qs::toolkit {

namespace {
com_ptr<IAccPropServices> Annotations() {
    com_ptr<IAccPropServices> services;
    ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                       reinterpret_cast<void**>(services.put()));
    return services;
}
}  // namespace

void Form::ScreenReaderName(HWND window, std::wstring name) {
    // Written as a caption is: a single "&" marks the access key and is not said.
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] == L'&') name.erase(i, 1);
    // Without the accessibility layer the reader says only what the window is.
    if (auto services = Annotations();
        services && SUCCEEDED(services->SetHwndPropStr(window, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str())))
        named_.push_back(window);
}

void Form::ScreenReaderDialog() {
    // The forms' window class is the program's own, which the layer takes for a plain window.
    VARIANT role{};
    role.vt = VT_I4;
    role.lVal = ROLE_SYSTEM_DIALOG;
    if (auto services = Annotations();
        services && SUCCEEDED(services->SetHwndProp(hwnd_, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, role)))
        named_.push_back(hwnd_);
}

void Form::ForgetScreenReaderNames() {
    if (named_.empty()) return;
    const MSAAPROPID said[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE};
    if (auto services = Annotations())
        for (HWND window : named_) services->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, said, 2);
    named_.clear();
}

}  // namespace qs::toolkit
