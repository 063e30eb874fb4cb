// The error handler's procedure stack, error dispatch, report writer and trace.
#include "errors/CErrHandler.h"

#include <limits>

#include "base/Error.h"
#include "errors/ErrorReport.h"
#include "errors/Frames.h"
#include "text/Ansi.h"
#include "text/Number.h"
#include "base/App.h"
#include "base/Notice.h"

namespace qs {

std::unique_ptr<CErrHandler> gErrHandler;

namespace {
// A failure that reaches a callback's edge goes to the error handler, as every other
// failure does.
void ReportThroughHandler() noexcept {
    if (gErrHandler) frames::HandleCaught();
    else frames::ShowCriticalBox(L"Quorset", ErrorFromCurrentException());
}
const bool gReporterSet = (frames::SetReporter(&ReportThroughHandler), true);
}  // namespace

namespace {

std::wstring LocalDateTimeText() {
    wchar_t date[128] = L"", time[128] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

std::wstring CurrentDirectory() {
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(size, L'\0');
    dir.resize(::GetCurrentDirectoryW(size, dir.data()));
    return dir;
}

// Writes all of `bytes` or raises the file error that stopped it.
void WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        RaiseFileError(::GetLastError());
}

}  // namespace

CErrHandler::CErrHandler() {
    criticalBox(L"Quorset.CErrHandler.Class_Initialize",
                [&] { stack_.assign(static_cast<size_t>(maxProcStackItems_) + 3, std::wstring()); });
}

CErrHandler::~CErrHandler() = default;  // the trace file, if open, closes with its handle

bool CErrHandler::ClearLog() {
    bool result = false;
    shortBox(L"ClearLog", [&] {
        if (auto* path = std::get_if<std::wstring>(&destination_)) ::DeleteFileW(path->c_str());
        result = true;
    });
    return result;
}

void CErrHandler::PushBeyond(std::wstring_view strProc) {
    if (depth_ == std::numeric_limits<int16_t>::max()) RaiseRuntime(errOverflow);
    ++depth_;
    // Deeper than the bound the depth still counts, so that pushes and pops stay
    // balanced, but the name is not kept.
    if (depth_ <= maxProcStackItems_) stack_[static_cast<size_t>(depth_)] = strProc;
    if (traceExecution_) {
        if (!traceFile_) RaiseRuntime(errBadFileNameOrNumber);
        WriteAll(traceFile_.get(), text::ToAnsi(L"\r\n" + std::wstring(strProc)));
    }
}

void CErrHandler::PopBeyond() {
    if (depth_ <= maxProcStackItems_ && static_cast<size_t>(depth_) < stack_.size())
        stack_[static_cast<size_t>(depth_)].clear();
    if (depth_ > 0) --depth_;
}

std::wstring CErrHandler::SlotAtDepth() const {
    return static_cast<size_t>(depth_) < stack_.size() ? stack_[static_cast<size_t>(depth_)] : std::wstring();
}

void CErrHandler::HandleError() {
    const ErrorInfo& error = CurrentError();
    errorNumber_ = error.number;
    errorLine_ = error.line;
    errorString_ = error.description;
    errorProc_ = SlotAtDepth();
    if (appTitle_.empty()) appTitle_ = App::Title();

    bool cancel = false;
    BeforeHandlerCalled.Raise(cancel);
    if (cancel) return;

    ignoring([&] { LogError(); });

    if (displayMsgOnError_) {
        Beep();
        MsgBox(MessageText(), MB_OK | MB_ICONSTOP, appTitle_);
    }
    AfterHandlerCalled.Raise();
}

std::wstring CErrHandler::MessageText() const {
    std::wstring text = L"The following error has occurred in procedure: \r\n" + errorProc_ + L" on line " +
                        text::NumberText(errorLine_) + L"\r\nError (" + text::NumberText(errorNumber_) + L") " +
                        errorString_;
    if (!currentOperation_.empty()) text += L"\r\nCurrent Operation: " + currentOperation_;
    return text;
}

void CErrHandler::Destination(const Variant& varValue) {
    if (!std::holds_alternative<std::wstring>(varValue))
        Raise(vbObjectError + 1000, L"Quorset.CErrHandler",
              L"Invalid object type: " + text::NumberText(VarType(varValue)));
    destination_ = varValue;
}

void CErrHandler::MaxProcStackItems(int16_t intValue) {
    int32_t upper = int32_t{intValue} + 2;
    if (upper > std::numeric_limits<int16_t>::max()) RaiseRuntime(errOverflow);
    if (upper < 0) RaiseRuntime(errSubscriptOutOfRange);
    stack_.assign(static_cast<size_t>(upper) + 1, std::wstring());
    maxProcStackItems_ = intValue;
}

void CErrHandler::TraceExecution(bool fValue) {
    traceExecution_ = fValue;
    if (!fValue) return;
    shortBox(L"TraceExecution", [&] {
        std::wstring path = App::Path() + L"\\trace.log";
        traceFile_.reset();
        ::DeleteFileW(path.c_str());
        unique_handle file = OpenedFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) RaiseFileError(::GetLastError());
        traceFile_ = std::move(file);
    });
}

void CErrHandler::LogError() {
    const auto* path = std::get_if<std::wstring>(&destination_);
    if (!path) return;
    ::DeleteFileW(path->c_str());

    ReportFacts facts;
    facts.appTitle = appTitle_;
    facts.currentTime = LocalDateTimeText();
    facts.errorString = errorString_;
    facts.errorNumber = errorNumber_;
    facts.errorLine = errorLine_;
    facts.errorProc = errorProc_;
    facts.stack = stack_;
    facts.currentOperation = currentOperation_;
    facts.includeExpandedInfo = includeExpandedInfo_;
    if (includeExpandedInfo_) {
        facts.currentDirectory = CurrentDirectory();
        facts.title = App::Title();
        facts.companyName = App::CompanyName();
        facts.major = App::Major();
        facts.minor = App::Minor();
        facts.revision = App::Revision();
        facts.path = App::Path();
        facts.productName = App::ProductName();
    }

    unique_handle file = OpenedFile(::CreateFileW(path->c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    // Line by line, so that a failure part-way leaves what was written.
    for (const auto& line : ReportLines(facts)) WriteAll(file.get(), text::ToAnsi(line + L"\r\n"));
}

}  // namespace qs
