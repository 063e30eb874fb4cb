// The resource components themselves: late-bound calls, texts for every id the program
// asks for and per-user self-registration.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>

#include "Support.h"
#include "base/App.h"
#include "base/Handles.h"
#include "settings/RegistryHelpers.h"
#include "vuldres/IVuldResources.h"

using qs::com_ptr;

namespace {

const qs::test::ComApartment kApartment;

com_ptr<IVuldResources> Create(const wchar_t* progId) {
    CLSID clsid{};
    com_ptr<IVuldResources> component;
    if (SUCCEEDED(::CLSIDFromProgID(progId, &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVuldResources,
                           reinterpret_cast<void**>(component.put()));
    return component;
}

std::wstring Text(IVuldResources& component, LONG id) {
    BSTR text = nullptr;
    EXPECT_EQ(component.GetResString(id, &text), S_OK);
    std::wstring result(text, ::SysStringLen(text));
    ::SysFreeString(text);
    return result;
}

std::wstring ProgId(LONG locale) { return L"Vuld" + std::to_wstring(locale) + L".Resources"; }

// The letter after the single "&" of a text, 0 when it has none.
wchar_t AccessKey(const std::wstring& text) {
    for (size_t i = text.find(L'&'); i != std::wstring::npos && i + 1 < text.size(); i = text.find(L'&', i + 2))
        if (text[i + 1] != L'&') return static_cast<wchar_t>(std::towupper(text[i + 1]));
    return 0;
}

TEST(ResourceComponent, EveryIdTheProgramAsksForHasATextInEveryLocaleWithAccessKeysUsedOnce) {
    std::vector<LONG> ids{101, 103, 104, 1204, 1205, 14001, 14002, 14004, 14005};
    for (LONG id = 1400; id <= 1423; ++id) ids.push_back(id);
    for (LONG locale : {QUORSET_LOCALES}) {
        auto component = Create(ProgId(locale).c_str());
        ASSERT_TRUE(component) << locale;
        for (LONG id : ids) EXPECT_FALSE(Text(*component.get(), id).empty()) << locale << " " << id;
        // The configuration dialog's controls, and the tray menu's items.
        for (auto group : {std::vector<LONG>{101, 103, 104, 1412, 1422}, {1401, 1402, 1403}}) {
            std::wstring keys;
            for (LONG id : group)
                if (wchar_t key = AccessKey(Text(*component.get(), id))) {
                    EXPECT_EQ(keys.find(key), std::wstring::npos) << locale << ": " << id << " repeats a key";
                    keys += key;
                }
        }
    }
}

// A user's regional variant of a shipped language gets that language's texts.
TEST(ResourceComponent, ARegionalVariantFindsItsLanguage) {
    for (auto [variant, language] : {std::pair{3079, 1031}, {2055, 1031}, {3084, 1036}, {2060, 1036}, {2058, 3082},
                                      {1034, 3082}, {2070, 1046}, {2057, 1033}}) {
        auto component = Create(ProgId(variant).c_str()), own = Create(ProgId(language).c_str());
        ASSERT_TRUE(component && own) << variant;
        EXPECT_EQ(Text(*component.get(), 1403), Text(*own.get(), 1403)) << variant;
    }
}

// Arguments of a late-bound call arrive last first.
HRESULT Invoke(IDispatch& dispatch, DISPID id, std::vector<VARIANT> arguments, VARIANT& result) {
    DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    ::VariantInit(&result);
    return dispatch.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
}

TEST(ResourceComponent, LateBoundCallsReachTheSameOperations) {
    auto component = Create(L"Vuld1031.Resources");
    ASSERT_TRUE(component);
    IDispatch& dispatch = *component.get();
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(L"GetResString");
    ASSERT_EQ(dispatch.GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 3);
    VARIANT text{}, result;
    text.vt = VT_BSTR;
    text.bstrVal = ::SysAllocString(L"1403");  // converted to a number as a late-bound caller expects
    ASSERT_EQ(Invoke(dispatch, 3, {text}, result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_STREQ(result.bstrVal, L"Quorset &beenden");
    ::VariantClear(&result);
    EXPECT_EQ(Invoke(dispatch, 2, {text}, result), DISP_E_BADPARAMCOUNT);
    DISPPARAMS params{&text, nullptr, 1, 0};
    EXPECT_EQ(dispatch.Invoke(3, IID_IDispatch, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE) << "the interface argument is reserved";
    ::VariantClear(&text);

    VARIANT size{}, picture{};
    size.vt = picture.vt = VT_I4;
    size.lVal = 1;
    picture.lVal = 1401;
    ASSERT_EQ(Invoke(dispatch, 2, {size, picture}, result), S_OK);
    EXPECT_EQ(result.vt, VT_DISPATCH);
    EXPECT_NE(result.pdispVal, nullptr);
    ::VariantClear(&result);
    IPictureDisp* none = nullptr;
    EXPECT_EQ(component->GetResPicture(1401, 7, &none), E_INVALIDARG) << "no such size";
    EXPECT_TRUE(FAILED(component->GetResPicture(4711, 1, &none))) << "no such picture";
}

TEST(ResourceComponent, RegistersItselfForTheCurrentUserAndUnregistersCleanly) {
    std::wstring dll = qs::App::Path() + L"\\Vuld1031.dll";
    HMODULE module = ::LoadLibraryW(dll.c_str());
    ASSERT_NE(module, nullptr);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(module, "DllRegisterServer")));
    auto unreg = reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(module, "DllUnregisterServer")));
    ASSERT_TRUE(reg && unreg);

    // What the component writes, read back as text with its terminator ("" when missing).
    auto text = [](const std::wstring& key, const wchar_t* name = L"") { return qs::test::ReadBack(key, name).bytes; };
    const std::string clsid = "{5155A000-0407-4E2D-9C1B-6A7E5F4C3B2A}" + std::string(1, '\0');
    const std::wstring classKey = L"Software\\Classes\\CLSID\\{5155A000-0407-4E2D-9C1B-6A7E5F4C3B2A}";
    ASSERT_EQ(reg(), S_OK);
    EXPECT_EQ(text(L"Software\\Classes\\Vuld1031.Resources\\CLSID"), clsid);
    EXPECT_EQ(text(classKey + L"\\InprocServer32"), qs::test::Ansi(dll) + '\0');
    EXPECT_EQ(text(classKey + L"\\InprocServer32", L"ThreadingModel"), std::string("Apartment", 10));
    EXPECT_EQ(text(classKey + L"\\ProgID"), std::string("Vuld1031.Resources", 19));
    EXPECT_EQ(text(L"Software\\Classes\\Vuld3079.Resources\\CLSID"), clsid)
        << "an Austrian user's identifier names the German class";

    EXPECT_EQ(unreg(), S_OK);
    EXPECT_EQ(text(L"Software\\Classes\\Vuld1031.Resources\\CLSID"), "");
    EXPECT_EQ(text(L"Software\\Classes\\Vuld3079.Resources\\CLSID"), "");
    EXPECT_EQ(text(classKey + L"\\InprocServer32"), "");
    ::FreeLibrary(module);
}

}  // namespace
