// A resource component: an in-process COM server whose texts and pictures are the
// resources of its own DLL. Each locale's DLL is built from this file with its own
// locale id and class id; the English one also serves the default class.
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <new>

#include "vuldres/IVuldResources.h"

#ifndef VULD_LOCALE
#error "VULD_LOCALE names the locale this component serves"
#endif

namespace {

HMODULE gModule = nullptr;
std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};

// {5155A000-LLLL-4E2D-9C1B-6A7E5F4C3B2A} with the locale id as LLLL.
const CLSID kLocaleClass = {0x5155A000, VULD_LOCALE, 0x4E2D, {0x9C, 0x1B, 0x6A, 0x7E, 0x5F, 0x4C, 0x3B, 0x2A}};
constexpr bool kServesDefault = VULD_SERVES_DEFAULT;
constexpr DISPID kDispReserved = 1, kDispGetResPicture = 2, kDispGetResString = 3;

class Resources final : public IVuldResources {
public:
    // From COM's allocator: the component needs nothing of the C++ library.
    static void* operator new(size_t size, const std::nothrow_t&) noexcept { return ::CoTaskMemAlloc(size); }
    static void operator delete(void* p) noexcept { ::CoTaskMemFree(p); }

    Resources() { ++gObjects; }
    ~Resources() { --gObjects; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IVuldResources) {
            *out = static_cast<IVuldResources*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch, without a type library: the three operations by name and id.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        static const std::pair<const wchar_t*, DISPID> known[] = {
            {L"Reserved", kDispReserved}, {L"GetResPicture", kDispGetResPicture}, {L"GetResString", kDispGetResString}};
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (auto [name, id] : known)
                if (i == 0 && ::lstrcmpiW(names[i], name) == 0) ids[i] = id;
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argError) override {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
        if (!params || params->cNamedArgs) return DISP_E_NONAMEDARGS;
        // Arguments arrive last first.
        auto argument = [&](UINT position, LONG& value) {
            UINT count = params->cArgs;
            VARIANT converted;
            ::VariantInit(&converted);
            HRESULT hr = ::VariantChangeType(&converted, &params->rgvarg[count - 1 - position], 0, VT_I4);
            if (FAILED(hr)) {
                if (argError) *argError = count - 1 - position;
                return DISP_E_TYPEMISMATCH;
            }
            value = converted.lVal;
            return S_OK;
        };
        LONG first = 0, second = 0;
        HRESULT hr = S_OK;
        switch (id) {
        case kDispReserved:
            return Reserved();
        case kDispGetResPicture: {
            if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
            if (FAILED(hr = argument(0, first)) || FAILED(hr = argument(1, second))) return hr;
            IPictureDisp* picture = nullptr;
            if (FAILED(hr = GetResPicture(first, second, &picture))) return hr;
            if (result) {
                result->vt = VT_DISPATCH;
                result->pdispVal = picture;
            } else {
                picture->Release();
            }
            return S_OK;
        }
        case kDispGetResString: {
            if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            if (FAILED(hr = argument(0, first))) return hr;
            BSTR text = nullptr;
            if (FAILED(hr = GetResString(first, &text))) return hr;
            if (result) {
                result->vt = VT_BSTR;
                result->bstrVal = text;
            } else {
                ::SysFreeString(text);
            }
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    // IVuldResources
    HRESULT STDMETHODCALLTYPE Reserved() override { return S_OK; }

    HRESULT STDMETHODCALLTYPE GetResPicture(LONG id, LONG kind, IPictureDisp** picture) override {
        if (!picture) return E_POINTER;
        *picture = nullptr;
        PICTDESC desc{};
        desc.cbSizeofstruct = sizeof desc;
        switch (kind) {
        case vuldIcon:
        case vuldCursor:
            // The icon at the system's large-icon size, loaded shared: the system then
            // knows its resource, and a copy at another size is drawn from the resource's
            // own image of that size. A shared icon belongs to this library, so the
            // picture does not own it.
            desc.picType = PICTYPE_ICON;
            desc.icon.hicon = static_cast<HICON>(::LoadImageW(gModule, MAKEINTRESOURCEW(id),
                                                              kind == vuldIcon ? IMAGE_ICON : IMAGE_CURSOR, 0, 0,
                                                              LR_DEFAULTSIZE | LR_SHARED));
            if (!desc.icon.hicon) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
            break;
        case vuldBitmap:
            desc.picType = PICTYPE_BITMAP;
            desc.bmp.hbitmap = static_cast<HBITMAP>(::LoadImageW(gModule, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
            if (!desc.bmp.hbitmap) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
            break;
        default:
            return E_INVALIDARG;
        }
        bool shared = desc.picType == PICTYPE_ICON;
        HRESULT hr = ::OleCreatePictureIndirect(&desc, IID_IPictureDisp, !shared, reinterpret_cast<void**>(picture));
        if (FAILED(hr) && !shared) ::DeleteObject(desc.bmp.hbitmap);
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetResString(LONG id, BSTR* text) override {
        if (!text) return E_POINTER;
        // An id without a text gives the empty text.
        const wchar_t* resource = nullptr;
        int length = id >= 0 && id <= 0xFFFF
                         ? ::LoadStringW(gModule, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&resource), 0)
                         : 0;
        *text = ::SysAllocStringLen(length > 0 ? resource : L"", length > 0 ? static_cast<UINT>(length) : 0);
        return *text ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::atomic<ULONG> refs_{1};
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // a static object
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) Resources;
        if (!object) return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++gLocks : --gLocks;
        return S_OK;
    }
};

Factory gFactory;

// Registry paths are short; fixed buffers keep the component free of the C++ library.
constexpr int kPathLength = 200;
#define VULD_WIDE_TEXT2(x) L## #x
#define VULD_WIDE_TEXT(x) VULD_WIDE_TEXT2(x)
constexpr const wchar_t* kProgId = L"Vuld" VULD_WIDE_TEXT(VULD_LOCALE) L".Resources";
// The locales this class serves: 0 for its own, then the regional variants of its language.
constexpr int kVariants[] = {0, VULD_VARIANTS};

// "Software\Classes\Vuld<locale>.Resources" followed by `tail`.
void ProgIdKey(wchar_t (&key)[kPathLength], int locale, const wchar_t* tail) {
    ::wsprintfW(key, L"Software\\Classes\\Vuld%d.Resources%s", locale, tail);
}

LONG SetValue(const wchar_t* key, const wchar_t* name, const wchar_t* value) {
    HKEY handle = nullptr;
    LONG r = ::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
    if (r != ERROR_SUCCESS) return r;
    r = ::RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>((::lstrlenW(value) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
    return r;
}

// "Software\Classes\CLSID\{...}" followed by `tail`.
void ClassKey(wchar_t (&key)[kPathLength], REFCLSID clsid, const wchar_t* tail) {
    wchar_t guid[40];
    ::StringFromGUID2(clsid, guid, 40);
    ::wsprintfW(key, L"Software\\Classes\\CLSID\\%s%s", guid, tail);
}

LONG RegisterClassKey(REFCLSID clsid, const wchar_t* progId, const wchar_t* dll) {
    wchar_t key[kPathLength];
    ClassKey(key, clsid, L"");
    LONG r = SetValue(key, nullptr, L"Vuld resources " VULD_WIDE_TEXT(VULD_LOCALE));
    ClassKey(key, clsid, L"\\InprocServer32");
    if (r == ERROR_SUCCESS) r = SetValue(key, nullptr, dll);
    if (r == ERROR_SUCCESS) r = SetValue(key, L"ThreadingModel", L"Apartment");
    ClassKey(key, clsid, L"\\ProgID");
    if (r == ERROR_SUCCESS && progId) r = SetValue(key, nullptr, progId);
    return r;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        gModule = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid == kLocaleClass || (kServesDefault && clsid == CLSID_VuldResourcesDefault))
        return gFactory.QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return gObjects == 0 && gLocks == 0 ? S_OK : S_FALSE;
}

// Registers the component for the current user (no administrator needed).
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t dll[MAX_PATH], key[kPathLength], guid[40];
    ::GetModuleFileNameW(gModule, dll, MAX_PATH);
    ::StringFromGUID2(kLocaleClass, guid, 40);
    LONG r = RegisterClassKey(kLocaleClass, kProgId, dll);
    // The locale's own programmatic identifier and each variant's lead to the one class.
    for (int locale : kVariants) {
        ProgIdKey(key, locale ? locale : VULD_LOCALE, L"\\CLSID");
        if (r == ERROR_SUCCESS) r = SetValue(key, nullptr, guid);
    }
    if (r == ERROR_SUCCESS && kServesDefault) r = RegisterClassKey(CLSID_VuldResourcesDefault, nullptr, dll);
    return r == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    wchar_t key[kPathLength];
    ClassKey(key, kLocaleClass, L"");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key);
    for (int locale : kVariants) {
        ProgIdKey(key, locale ? locale : VULD_LOCALE, L"");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key);
    }
    if (kServesDefault) {
        ClassKey(key, CLSID_VuldResourcesDefault, L"");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key);
    }
    return S_OK;
}
