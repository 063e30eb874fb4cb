// Names for screen readers where a window's text cannot carry one: a form without a
// title, a button without a caption. They are annotations of the system's accessibility
// layer, kept while the window lives.
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

void Form::ForgetScreenReaderNames() {
    if (named_.empty()) return;
    if (auto services = Annotations())
        for (HWND window : named_) services->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, &PROPID_ACC_NAME, 1);
    named_.clear();
}

}  // namespace qs::toolkit
