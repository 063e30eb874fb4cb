// Message hooks on a real window, and launching through the shell.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Screenshot.h"
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

class ClosingForm : public toolkit::Form {
public:
    ClosingForm() : Form(test::DemoDesign()) {}
    int closes = 0;

protected:
    void Form_QueryUnload(bool& cancel, int) override {
        ++closes;
        cancel = true;
    }
};

TEST(Hooks, EachResponseDecidesWhenTheSinkRunsAndUnhookingStopsIt) {
    MessageHookManager& hooks = MessageHookManager::Instance();
    ClosingForm form;
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
    command(SC_CLOSE);
    EXPECT_EQ(form.closes, 1) << "Close still reached the window";
    sink.response = emrConsume;
    command(SC_CLOSE);
    EXPECT_EQ(form.closes, 1) << "a consuming sink replaces the window";
    EXPECT_EQ(sink.commands.size(), 6u);

    hooks.UnhookMessage(&sink, window, WM_SYSCOMMAND);
    command(SC_CLOSE);
    EXPECT_EQ(sink.commands.size(), 6u);
    EXPECT_EQ(form.closes, 2) << "the window works on without the hook";
}

TEST(ShellLauncher, AMissingFileFails) {
    ShellLauncher launcher;
    test::ScratchFolder folder;
    EXPECT_EQ(launcher.LaunchFile(0, folder.File(L"vuld.exe"), L"", folder.Path().wstring(), SW_SHOWNORMAL), 0);
    EXPECT_EQ(launcher.LastError(), DWORD{ERROR_FILE_NOT_FOUND});
}

TEST(ShellLauncher, AProgramReallyStartsInTheGivenFolder) {
    test::ScratchFolder folder;
    std::wstring marker = folder.File(L"marker.txt");
    std::wstring program = qs::App::Path() + L"\\vuldsub_marker.exe";
    ShellLauncher launcher;
    ASSERT_EQ(launcher.LaunchFile(0, program, L"\"" + marker + L"\" hello", folder.Path().wstring(), SW_SHOWNORMAL),
              -1);
    std::wstring workingFolder, argument;
    // The marker writes its file in one go; it is complete once both lines are there.
    ASSERT_TRUE(test::WaitFor([&] {
        std::wifstream in(std::filesystem::path{marker});
        return std::getline(in, workingFolder) && std::getline(in, argument);
    }));
    EXPECT_EQ(std::filesystem::path(workingFolder), folder.Path());
    EXPECT_EQ(argument, L"hello");
}

}  // namespace
