// Helpers shared by the Windows tests: a recorder for message boxes and beeps, a
// program-wide error handler for the test's duration, and a scratch folder.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/Error.h"
#include "errors/CErrHandler.h"
#include "base/App.h"
#include "base/Notice.h"
#include "Wait.h"

namespace qs {

// Message boxes compare and print whole: prompt, title and style.
inline bool operator==(const MessageBoxRequest& a, const MessageBoxRequest& b) {
    return a.prompt == b.prompt && a.title == b.title && a.style == b.style;
}
inline void PrintTo(const MessageBoxRequest& box, std::ostream* out) {
    *out << "{" << ::testing::PrintToString(box.prompt) << ", " << ::testing::PrintToString(box.title) << ", "
         << box.style << "}";
}

}  // namespace qs

namespace qs::test {

using Boxes = std::vector<MessageBoxRequest>;
constexpr unsigned kCritical = MB_OK | MB_ICONSTOP;

// Collects what would have been shown instead of showing it.
class NoticeRecorder : public NoticeSink {
public:
    NoticeRecorder() { InterceptNotices(this); }
    ~NoticeRecorder() override { InterceptNotices(nullptr); }
    int ShowMessageBox(const MessageBoxRequest& request) override {
        boxes.push_back(request);
        return IDOK;
    }
    void Beep() override { ++beeps; }

    std::vector<MessageBoxRequest> boxes;
    int beeps = 0;
};

// A new, empty folder below the temporary folder, removed with its contents.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::filesystem::path(temp) /
                (L"quorset-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path_, ignored);
    }
    std::wstring File(const std::wstring& name) const { return (path_ / name).wstring(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::wstring& file, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(file), std::ios::binary);
    out << bytes;
}

// The error a call raises (number 0 when it raises none).
inline ErrorInfo Raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return ErrorInfo{e.number(), e.source(), e.description(), 0};
    }
    return {};
}


// The test thread as the program's: a single-threaded COM apartment, for the tests that
// create components in-process (the end-to-end driver needs none).
struct ComApartment {
    ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
};

// A test with gErrHandler set up as start-up sets it, reporting into a scratch folder,
// and with message boxes recorded.
class HandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        gErrHandler = std::make_unique<CErrHandler>();
        gErrHandler->AppTitle(L"Quorset");
        gErrHandler->Destination(Variant(report));
        gErrHandler->IncludeExpandedInfo(true);
    }
    void TearDown() override { gErrHandler.reset(); }

    NoticeRecorder notices;
    ScratchFolder folder;
    std::wstring report = folder.File(L"errorlog.txt");
};

}  // namespace qs::test
