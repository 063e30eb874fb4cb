// Message hooks on a real window. Their delivery before and after the window's own
// processing is seen end to end: the toolbar window's system menu and its activation
// (the sink first), the tray icon's new taskbar (the window first). Here, what a user
// would not see: a sink hooked twice hears a message once, and nothing once unhooked.
#include <gtest/gtest.h>

#include <windows.h>

#include "Support.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Form.h"
#include "vuldsub/VuldSub.h"

using namespace qs;
using namespace vuldsub;

namespace {

// Counts what reaches it.
class Sink : public ISubclass {
public:
    int heard = 0;

    int32_t MsgResponse() override { return emrPreprocess; }
    void MsgResponse(int32_t) override {}
    intptr_t WindowProc(intptr_t, int32_t, intptr_t, intptr_t) override { return ++heard, 0; }
};

TEST(Hooks, ASinkHookedTwiceHearsOnceAndNothingOnceUnhooked) {
    MessageHookManager& hooks = MessageHookManager::Instance();
    toolkit::Form form(test::DemoDesign());
    form.Show();
    Sink sink;
    HWND window = form.hwnd();
    hooks.HookMessage(&sink, window, WM_SYSCOMMAND);
    hooks.HookMessage(&sink, window, WM_SYSCOMMAND);
    ::SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(sink.heard, 1);
    hooks.UnhookMessage(&sink, window, WM_SYSCOMMAND);
    ::SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(sink.heard, 1);
    EXPECT_FALSE(::IsIconic(window)) << "the window works on without the hook";
}

}  // namespace
