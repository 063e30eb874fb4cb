// Message hooks: one window subclass per hooked window, a table of (window, message,
// sink) entries, and the delivery that keeps the window's own processing.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "vuldsub/VuldSub.h"

namespace vuldsub {
namespace {

struct Hook {
    HWND window;
    UINT message;
    ISubclass* sink;
};

constexpr UINT_PTR kSubclassId = 0x56534220;  // "VSB "

std::vector<Hook>& Hooks() {
    static std::vector<Hook> hooks;
    return hooks;
}

bool WindowHooked(HWND window) {
    return std::any_of(Hooks().begin(), Hooks().end(), [&](const Hook& h) { return h.window == window; });
}

}  // namespace

MessageHookManager& MessageHookManager::Instance() {
    static MessageHookManager manager;
    return manager;
}

void MessageHookManager::HookMessage(ISubclass* sink, HWND window, UINT message) {
    auto& hooks = Hooks();
    if (std::any_of(hooks.begin(), hooks.end(),
                    [&](const Hook& h) { return h.window == window && h.message == message && h.sink == sink; }))
        return;
    if (!WindowHooked(window)) ::SetWindowSubclass(window, &SubclassProc, kSubclassId, 0);
    hooks.push_back({window, message, sink});
}

void MessageHookManager::UnhookMessage(ISubclass* sink, HWND window, UINT message) {
    std::erase_if(Hooks(), [&](const Hook& h) { return h.window == window && h.message == message && h.sink == sink; });
    if (!WindowHooked(window)) ::RemoveWindowSubclass(window, &SubclassProc, kSubclassId);
}

LRESULT CALLBACK MessageHookManager::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                  UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        std::erase_if(Hooks(), [&](const Hook& h) { return h.window == window; });
        ::RemoveWindowSubclass(window, &SubclassProc, kSubclassId);
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    // The sinks of this message, copied: a sink may hook or unhook while it runs.
    std::vector<ISubclass*> sinks;
    for (const Hook& h : Hooks())
        if (h.window == window && h.message == message) sinks.push_back(h.sink);
    if (sinks.empty()) return ::DefSubclassProc(window, message, wParam, lParam);

    // Nothing may leave a window procedure: a sink that fails is skipped.
    MessageHookManager& manager = Instance();
    auto deliver = [&](ISubclass* sink) -> LRESULT {
        try {
            return sink->WindowProc(reinterpret_cast<intptr_t>(window), static_cast<int32_t>(message),
                                    static_cast<intptr_t>(wParam), static_cast<intptr_t>(lParam));
        } catch (...) {
            return 0;
        }
    };
    std::vector<ISubclass*> after;
    bool consumed = false;
    LRESULT result = 0;
    for (ISubclass* sink : sinks) {
        int32_t response = emrPreprocess;
        UINT previous = std::exchange(manager.activeMessage_, message);
        try {
            response = sink->MsgResponse();
        } catch (...) {
        }
        manager.activeMessage_ = previous;
        if (response == emrPostProcess) {
            after.push_back(sink);
        } else if (response == emrConsume) {
            result = deliver(sink);
            consumed = true;
        } else {
            deliver(sink);
        }
    }
    if (!consumed) result = ::DefSubclassProc(window, message, wParam, lParam);
    for (ISubclass* sink : after) deliver(sink);
    return result;
}

}  // namespace vuldsub
