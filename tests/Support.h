// Helpers shared by the Windows tests: a recorder for message boxes and beeps, a
// program-wide error handler for the test's duration, and a scratch folder.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <dbghelp.h>
#include <objbase.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <regex>
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

// The crash dumps in a folder, by name.
inline std::vector<std::wstring> DumpsIn(const std::filesystem::path& folder) {
    std::vector<std::wstring> names;
    std::error_code none;
    for (auto& entry : std::filesystem::directory_iterator(folder, none))
        if (std::regex_match(entry.path().filename().wstring(), std::wregex(LR"(Quorset-\d{8}-\d{6}-\d+\.dmp)")))
            names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

// The exception stream of a minidump; none unless its header is a minidump's and every
// stream of its directory lies inside the file.
inline std::optional<MINIDUMP_EXCEPTION_STREAM> DumpedException(const std::wstring& file) {
    std::string bytes = ReadBytes(file);
    auto inside = [&](size_t rva, size_t size) { return rva + size <= bytes.size(); };
    auto header = reinterpret_cast<const MINIDUMP_HEADER*>(bytes.data());
    if (!inside(0, sizeof *header) || header->Signature != 0x504D444Du /* MDMP */ ||
        !inside(header->StreamDirectoryRva, header->NumberOfStreams * sizeof(MINIDUMP_DIRECTORY)))
        return {};
    auto streams = reinterpret_cast<const MINIDUMP_DIRECTORY*>(bytes.data() + header->StreamDirectoryRva);
    std::optional<MINIDUMP_EXCEPTION_STREAM> exception;
    for (ULONG i = 0; i < header->NumberOfStreams; ++i) {
        const MINIDUMP_LOCATION_DESCRIPTOR& at = streams[i].Location;
        if (!inside(at.Rva, at.DataSize)) return {};
        if (streams[i].StreamType == ExceptionStream && at.DataSize >= sizeof(MINIDUMP_EXCEPTION_STREAM))
            exception = *reinterpret_cast<const MINIDUMP_EXCEPTION_STREAM*>(bytes.data() + at.Rva);
    }
    return exception;
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
