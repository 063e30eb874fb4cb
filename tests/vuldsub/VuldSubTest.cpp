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

struct Delivery {
    int32_t message;
    intptr_t wParam;
    bool iconicAtDelivery;
};

class Sink : public ISubclass {
public:
    int32_t response = emrPreprocess;
    std::vector<Delivery> deliveries;
    std::vector<UINT> activeWhileAsked;

    int32_t MsgResponse() override {
        activeWhileAsked.push_back(MessageHookManager::Instance().ActiveMessage());
        return response;
    }
    void MsgResponse(int32_t) override {}
    intptr_t WindowProc(intptr_t hwnd, int32_t message, intptr_t wParam, intptr_t) override {
        deliveries.push_back({message, wParam, ::IsIconic(reinterpret_cast<HWND>(hwnd)) != FALSE});
        return 0;
    }
    int Count(int32_t message) const {
        int n = 0;
        for (auto& d : deliveries) n += d.message == message;
        return n;
    }
};

class ClosingForm : public toolkit::Form {
public:
    ClosingForm() : Form(test::DemoDesign()) {}
    std::vector<int> reasons;

protected:
    void Form_QueryUnload(bool& cancel, int reason) override {
        reasons.push_back(reason);
        cancel = true;
    }
};

class Hooks : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show();
        test::DrainMessages();
        hooks.HookMessage(&sink, form.hwnd(), WM_ACTIVATE);
        hooks.HookMessage(&sink, form.hwnd(), WM_SYSCOMMAND);
    }
    void TearDown() override {
        hooks.UnhookMessage(&sink, form.hwnd(), WM_ACTIVATE);
        hooks.UnhookMessage(&sink, form.hwnd(), WM_SYSCOMMAND);
    }
    MessageHookManager& hooks = MessageHookManager::Instance();
    ClosingForm form;
    Sink sink;
};

TEST_F(Hooks, ActivationReachesTheSinkAndTheWindowStillActivates) {
    ClosingForm other;
    other.Show();
    test::DrainMessages();
    ASSERT_GE(sink.Count(WM_ACTIVATE), 1);
    EXPECT_EQ(LOWORD(sink.deliveries.back().wParam), WA_INACTIVE);

    ::SetActiveWindow(form.hwnd());
    test::DrainMessages();
    EXPECT_NE(LOWORD(sink.deliveries.back().wParam), WA_INACTIVE);
    EXPECT_EQ(::GetActiveWindow(), form.hwnd()) << "the window's own activation went on";
    for (UINT active : sink.activeWhileAsked) EXPECT_TRUE(active == WM_ACTIVATE || active == WM_SYSCOMMAND);
}

TEST_F(Hooks, SystemCommandsReachTheSinkFirstAndStillMinimiseAndClose) {
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_EQ(sink.Count(WM_SYSCOMMAND), 1);
    EXPECT_EQ(sink.deliveries.back().wParam, SC_MINIMIZE);
    EXPECT_FALSE(sink.deliveries.back().iconicAtDelivery) << "a preprocessing sink runs first";
    EXPECT_TRUE(::IsIconic(form.hwnd()));
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(::IsIconic(form.hwnd()));

    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(form.reasons, std::vector<int>{0}) << "Close still reached the window";
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, 1000, 0);
    EXPECT_EQ(sink.deliveries.back().wParam, 1000);
    EXPECT_EQ(sink.activeWhileAsked.back(), UINT{WM_SYSCOMMAND});
}

TEST_F(Hooks, APostProcessingSinkRunsAfterAndAConsumingSinkReplacesTheWindow) {
    sink.response = emrPostProcess;
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(sink.deliveries.back().iconicAtDelivery);
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);

    sink.response = emrConsume;
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(form.reasons.empty());
}

TEST_F(Hooks, UnhookingStopsTheDelivery) {
    hooks.HookMessage(&sink, form.hwnd(), WM_SYSCOMMAND);  // twice: still delivered once
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, 1001, 0);
    EXPECT_EQ(sink.Count(WM_SYSCOMMAND), 1);
    hooks.UnhookMessage(&sink, form.hwnd(), WM_SYSCOMMAND);
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, 1001, 0);
    EXPECT_EQ(sink.Count(WM_SYSCOMMAND), 1);
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(form.reasons, std::vector<int>{0}) << "the window works on without the hook";
}

TEST(ShellLauncher, AMissingFileFails) {
    ShellLauncher launcher;
    test::ScratchFolder folder;
    EXPECT_EQ(launcher.LaunchFile(0, folder.File(L"vuld.exe"), L"", folder.Path().wstring() + L"\\", SW_SHOWNORMAL), 0);
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
