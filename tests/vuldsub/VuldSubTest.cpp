// Message hooks on a real window, with the two responses the program's windows give:
// preprocessing (the launcher) and postprocessing (the tray icon). Launching through the
// shell is seen end to end: the toolbar's programs start in the program folder, a missing
// one is reported.
#include <gtest/gtest.h>

#include <windows.h>

#include "Support.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Form.h"
#include "vuldsub/VuldSub.h"

using namespace qs;
using namespace vuldsub;

namespace {

// Records what reaches it and answers with `response`.
class Sink : public ISubclass {
public:
    int32_t response = emrPreprocess;
    std::vector<std::pair<intptr_t, bool>> commands;  // wParam, and whether the window was minimised then

    int32_t MsgResponse() override {
        EXPECT_EQ(MessageHookManager::Instance().ActiveMessage(), UINT{WM_SYSCOMMAND});
        return response;
    }
    void MsgResponse(int32_t) override {}
    intptr_t WindowProc(intptr_t hwnd, int32_t, intptr_t wParam, intptr_t) override {
        commands.emplace_back(wParam, ::IsIconic(reinterpret_cast<HWND>(hwnd)) != FALSE);
        return 0;
    }
};

TEST(Hooks, TheResponseDecidesWhenTheSinkRunsAndUnhookingStopsIt) {
    MessageHookManager& hooks = MessageHookManager::Instance();
    toolkit::Form form(test::DemoDesign());
    form.Show();
    Sink sink;
    HWND window = form.hwnd();
    hooks.HookMessage(&sink, window, WM_SYSCOMMAND);
    hooks.HookMessage(&sink, window, WM_SYSCOMMAND);  // twice: still delivered once
    auto command = [&](WPARAM c) { ::SendMessageW(window, WM_SYSCOMMAND, c, 0); };

    command(SC_MINIMIZE);  // preprocessing: the sink first, then the window
    command(SC_RESTORE);
    sink.response = emrPostProcess;
    command(SC_MINIMIZE);
    command(SC_RESTORE);
    EXPECT_EQ(sink.commands, (std::vector<std::pair<intptr_t, bool>>{
                                 {SC_MINIMIZE, false}, {SC_RESTORE, true}, {SC_MINIMIZE, true}, {SC_RESTORE, false}}));

    hooks.UnhookMessage(&sink, window, WM_SYSCOMMAND);
    command(SC_MINIMIZE);
    EXPECT_EQ(sink.commands.size(), 4u);
    EXPECT_TRUE(::IsIconic(window)) << "the window works on without the hook";
}

}  // namespace
