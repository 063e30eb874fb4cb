// VuldSub: message hooks on windows of the calling process, and shell launching.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vuldsub {

// How a sink's handling combines with the window's own processing of a message.
enum EMsgResponse : int32_t {
    emrConsume = 0,      // only the sink; the window's own processing is skipped
    emrPostProcess = 1,  // the window's own processing first, then the sink
    emrPreprocess = 2,   // the sink first, then the window's own processing
};

// The callback interface of a message sink.
class ISubclass {
public:
    virtual ~ISubclass() = default;
    virtual int32_t MsgResponse() = 0;
    virtual void MsgResponse(int32_t value) = 0;
    virtual intptr_t WindowProc(intptr_t lngHwnd, int32_t lngIMsg, intptr_t lngWParam, intptr_t lngLParam) = 0;
};

// The process-wide hook object. Hooks are made with the common controls' window
// subclassing, so they stack with any other subclass of the window.
class MessageHookManager {
public:
    static MessageHookManager& Instance();

    // Delivers `message` of `window` to `sink` until unhooked; hooking the same triple
    // twice delivers once.
    void HookMessage(ISubclass* sink, HWND window, UINT message);
    void UnhookMessage(ISubclass* sink, HWND window, UINT message);
    // The message being delivered while a sink's MsgResponse is read.
    UINT ActiveMessage() const { return activeMessage_; }

private:
    MessageHookManager() = default;
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    UINT activeMessage_ = 0;
};

// Starts programs, opens documents with their viewers and addresses in the browser.
class ShellLauncher {
public:
    // -1 when the file was started or opened, 0 when it could not be.
    int32_t LaunchFile(intptr_t lngHwnd, const std::wstring& strFile, const std::wstring& strParameters,
                       const std::wstring& strFolder, int32_t lngShowCmd);
    int32_t LaunchAddress(intptr_t lngHwnd, const std::wstring& strAddress, int32_t lngShowCmd);
    // The system error of the last failed launch.
    DWORD LastError() const { return lastError_; }

private:
    DWORD lastError_ = 0;
};

}  // namespace vuldsub
