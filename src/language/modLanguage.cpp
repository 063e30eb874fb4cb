// Chooses the resource component and applies its texts to forms.
#include "language/modLanguage.h"

#include "errors/ComError.h"
#include "errors/Frames.h"
#include "text/Number.h"

namespace qs::modLanguage {
namespace {

com_ptr<IVuldResources> gResources;

// The kinds whose caption a Tag names.
bool TakesCaptionFromTag(toolkit::ControlKind kind) {
    using toolkit::ControlKind;
    return kind == ControlKind::Label || kind == ControlKind::Frame || kind == ControlKind::CheckBox ||
           kind == ControlKind::CommandButton || kind == ControlKind::OptionButton;
}

bool IsBlankText(const std::wstring& text) { return text.find_first_not_of(L' ') == std::wstring::npos; }

}  // namespace

int32_t GetActiveLocaleID() {
    int32_t result = 0;
    framed(L"modLanguage.GetActiveLocaleID", [&] { result = static_cast<int32_t>(::GetUserDefaultLCID()); });
    return result;
}

void InitLanguage(std::optional<int32_t> locale) {
    framed(L"modLanguage.InitLanguage", [&] {
        int32_t id = locale ? *locale : GetActiveLocaleID();
        std::wstring progId = L"Vuld" + text::NumberText(id) + L".Resources";
        ignoring([&] {
            CLSID clsid;
            if (FAILED(::CLSIDFromProgID(progId.c_str(), &clsid))) return;
            com_ptr<IVuldResources> component;
            if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVuldResources,
                                          reinterpret_cast<void**>(component.put()))))
                return;
            gResources = component;
        });
    });
}

IVuldResources& Resources() {
    if (!gResources &&
        FAILED(::CoCreateInstance(CLSID_VuldResourcesDefault, nullptr, CLSCTX_INPROC_SERVER, IID_IVuldResources,
                                  reinterpret_cast<void**>(gResources.put()))))
        RaiseRuntime(errCantCreateObject);
    return *gResources.get();
}

void ResetResources() { gResources.reset(); }

std::wstring GetResString(int32_t id) {
    unique_bstr text;
    Check(Resources().GetResString(id, text.put()));
    return std::wstring(text ? text.get() : L"", text ? ::SysStringLen(text.get()) : 0);
}

com_ptr<IPictureDisp> GetResPicture(int32_t id, int32_t kind) {
    com_ptr<IPictureDisp> picture;
    Check(Resources().GetResPicture(id, kind, picture.put()));
    if (!picture) RaiseRuntime(errObjectNotSet);
    return picture;
}

HICON PictureHandle(IPictureDisp& picture) {
    com_ptr<IPicture> p;
    Check(picture.QueryInterface(IID_IPicture, reinterpret_cast<void**>(p.put())));
    OLE_HANDLE handle = 0;
    Check(p->get_Handle(&handle));
    // A handle that crosses 32 bits is sign-extended, as 64-bit Windows widens them.
    return reinterpret_cast<HICON>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
}

void LoadFormResources(toolkit::Form& form) {
    framed(L"modLanguage.LoadFormResources", [&] {
        for (auto& control : form.Controls()) {
            if (control->Kind() == toolkit::ControlKind::Menu) {
                // A menu caption starts with its id: "1404 About Quorset".
                std::wstring caption = control->Caption();
                if (IsBlankText(caption) || caption == L"-") continue;
                double id = text::Val(caption);
                if (id != 0) control->Caption(GetResString(text::RoundHalfEven(id)));
            } else if (!control->Tag.empty() && TakesCaptionFromTag(control->Kind())) {
                control->Caption(GetResString(text::ToLong(control->Tag)));
            }
        }
        if (!form.Tag.empty()) form.Caption(GetResString(text::ToLong(form.Tag)));
    });
}

}  // namespace qs::modLanguage
