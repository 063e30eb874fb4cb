// The procedure frame's calls on the program's error handler.
#include "errors/Frames.h"

#include "errors/CErrHandler.h"
#include "errors/MExceptionHandler.h"

namespace qs::frames {

void Push(std::wstring_view procName) {
    if (gErrHandler) gErrHandler->Push(procName);
}

void Pop() noexcept {
    if (gErrHandler) gErrHandler->Pop();
}

void HandleCaught() noexcept {
    // Before the report: a fault while it shows is reported in turn.
    MExceptionHandler::ErrorDelivered();
    CurrentError() = ErrorFromCurrentException();
    try {
        if (gErrHandler) gErrHandler->HandleError();
    } catch (...) {
        // A failure while composing or showing the message has nowhere left to go.
    }
    ClearCurrentError();
}


}  // namespace qs::frames
