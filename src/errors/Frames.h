// The procedure frame every procedure of the windows and of the start-up and caption
// modules runs in: it pushes the procedure's name on gErrHandler and hands any failure
// to HandleError. The smaller local frames are in base/Frames.h.
#pragma once

#include <string_view>

#include "base/Frames.h"

namespace qs {

namespace frames {
void Push(std::wstring_view procName);
void Pop() noexcept;
void HandleCaught() noexcept;  // records the caught error and calls gErrHandler.HandleError
}  // namespace frames

// Push the name, run the body, and on any failure call HandleError; pop in every case
// and return normally. Functions keep their result in a variable the body assigns, so a
// failure leaves whatever had been set.
template <class Body>
void framed(std::wstring_view procName, Body&& body) noexcept {
    frames::Armed armed;
    try {
        frames::Push(procName);
        body();
    } catch (...) {
        frames::HandleCaught();
    }
    frames::Pop();
}

}  // namespace qs
