// The interface of the per-locale resource components: texts and pictures by id.
#pragma once

#include <ocidl.h>
#include <olectl.h>

// {DCC68D6A-B3ED-11D4-A3F0-00A0C92D427F}
inline constexpr IID IID_IVuldResources = {0xDCC68D6A, 0xB3ED, 0x11D4, {0xA3, 0xF0, 0x00, 0xA0, 0xC9, 0x2D, 0x42, 0x7F}};
// {DCC68D6B-B3ED-11D4-A3F0-00A0C92D427F}: the default component, served by the English one.
inline constexpr CLSID CLSID_VuldResourcesDefault = {
    0xDCC68D6B, 0xB3ED, 0x11D4, {0xA3, 0xF0, 0x00, 0xA0, 0xC9, 0x2D, 0x42, 0x7F}};

// Picture kinds of GetResPicture.
enum VuldPictureKind : LONG { vuldBitmap = 0, vuldIcon = 1, vuldCursor = 2 };

// A dual interface: its own operations follow IDispatch's, and Invoke reaches them by the
// dispatch ids 1, 2 and 3 in this order.
struct IVuldResources : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Reserved() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResPicture(LONG id, LONG kind, IPictureDisp** picture) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResString(LONG id, BSTR* text) = 0;
};
