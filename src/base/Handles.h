// One small owner for Win32 handles and COM pointers: move-only, releases what it holds.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

namespace qs {

template <class T, auto Close, T Invalid = T{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, Invalid));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return handle_; }
    // For functions that hand out a new handle through a pointer.
    T* put() {
        reset();
        return &handle_;
    }
    explicit operator bool() const { return handle_ != Invalid; }
    T release() { return std::exchange(handle_, Invalid); }
    void reset(T handle = Invalid) {
        if (handle_ != Invalid) Close(handle_);
        handle_ = handle;
    }

private:
    T handle_ = Invalid;
};

using unique_hkey = UniqueHandle<HKEY, &::RegCloseKey>;
using unique_hmenu = UniqueHandle<HMENU, &::DestroyMenu>;
using unique_hicon = UniqueHandle<HICON, &::DestroyIcon>;
inline void DeleteFont(HFONT font) { ::DeleteObject(font); }
using unique_hfont = UniqueHandle<HFONT, &DeleteFont>;
inline void DeleteBitmap(HBITMAP bitmap) { ::DeleteObject(bitmap); }
using unique_hbitmap = UniqueHandle<HBITMAP, &DeleteBitmap>;
using unique_himagelist = UniqueHandle<HIMAGELIST, &::ImageList_Destroy>;
using unique_hdc = UniqueHandle<HDC, &::DeleteDC>;
using unique_handle = UniqueHandle<HANDLE, &::CloseHandle>;
// A file that CreateFile opened; its failure value becomes the empty owner.
inline unique_handle OpenedFile(HANDLE file) { return unique_handle(file == INVALID_HANDLE_VALUE ? nullptr : file); }
inline void FreeLocal(HLOCAL memory) { ::LocalFree(memory); }
using unique_hlocal = UniqueHandle<HLOCAL, &FreeLocal>;
using unique_bstr = UniqueHandle<BSTR, &::SysFreeString>;

// A counted reference to a COM object.
template <class I>
class com_ptr {
public:
    com_ptr() = default;
    com_ptr(const com_ptr& other) : p_(other.p_) { if (p_) p_->AddRef(); }
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    com_ptr& operator=(com_ptr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~com_ptr() { reset(); }

    // Takes over a reference the caller already owns.
    static com_ptr attach(I* p) {
        com_ptr c;
        c.p_ = p;
        return c;
    }
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    I& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    I** put() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    I* p_ = nullptr;
};

}  // namespace qs
