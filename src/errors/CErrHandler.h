// The program-wide error handler: the procedure stack, the dispatch of handled errors
// to the report, the beep and the message box, and the optional trace of every push.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "text/Variant.h"
#include "base/Event.h"
#include "base/Handles.h"

namespace qs {

class CErrHandler {
public:
    CErrHandler();
    ~CErrHandler();
    CErrHandler(const CErrHandler&) = delete;
    CErrHandler& operator=(const CErrHandler&) = delete;

    bool ClearLog();
    void HandleError();
    // Every procedure pushes and pops its name, so the usual case (within the bound, no
    // trace) is inline; the rest is PushBeyond and PopBeyond.
    void Pop() {
        if (depth_ > 0 && depth_ <= maxProcStackItems_) stack_[static_cast<size_t>(depth_--)].clear();
        else PopBeyond();
    }
    void Push(std::wstring_view strProc) {
        if (depth_ < maxProcStackItems_ && !traceExecution_) stack_[static_cast<size_t>(++depth_)].assign(strProc);
        else PushBeyond(strProc);
    }

    const Variant& Destination() const { return destination_; }
    void Destination(const Variant& varValue);
    bool DisplayMsgOnError() const { return displayMsgOnError_; }
    void DisplayMsgOnError(bool fValue) { displayMsgOnError_ = fValue; }
    bool IncludeExpandedInfo() const { return includeExpandedInfo_; }
    void IncludeExpandedInfo(bool fValue) { includeExpandedInfo_ = fValue; }
    int16_t MaxProcStackItems() const { return maxProcStackItems_; }
    void MaxProcStackItems(int16_t intValue);
    bool TraceExecution() const { return traceExecution_; }
    void TraceExecution(bool fValue);

    const std::wstring& AppTitle() const { return appTitle_; }
    void AppTitle(std::wstring value) { appTitle_ = std::move(value); }
    const std::wstring& CurrentOperation() const { return currentOperation_; }
    void CurrentOperation(std::wstring value) { currentOperation_ = std::move(value); }
    const std::wstring& ErrorString() const { return errorString_; }
    int32_t ErrorLine() const { return errorLine_; }
    int32_t ErrorNumber() const { return errorNumber_; }
    const std::wstring& ErrorProc() const { return errorProc_; }

    // How many procedures are on the stack now.
    int16_t Depth() const { return depth_; }

    Event<bool&> BeforeHandlerCalled;  // a listener sets Cancel to skip the handling
    Event<> AfterHandlerCalled;

    // The message HandleError shows for the error last recorded.
    std::wstring MessageText() const;

private:
    void LogError();
    std::wstring SlotAtDepth() const;

    void PushBeyond(std::wstring_view strProc);
    void PopBeyond();

    int16_t maxProcStackItems_ = 100;
    bool includeExpandedInfo_ = true;
    bool displayMsgOnError_ = true;
    int32_t errorNumber_ = 0;
    int32_t errorLine_ = 0;
    std::wstring errorString_;
    std::wstring errorProc_;
    std::wstring appTitle_;
    Variant destination_ = std::wstring(L"C:\\ERRORS.TXT");
    std::wstring currentOperation_;
    bool traceExecution_ = false;
    std::vector<std::wstring> stack_;  // indices 0 to bound + 2; slot 0 is never written
    int16_t depth_ = 0;
    unique_handle traceFile_;
};

// The one handler of the program, created first by start-up.
extern std::unique_ptr<CErrHandler> gErrHandler;

}  // namespace qs
