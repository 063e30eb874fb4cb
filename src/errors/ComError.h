// Failures of COM calls as program errors that keep their HRESULT as the number.
#pragma once

#include <windows.h>

#include "base/Error.h"

namespace qs {

// Raises the HRESULT with the system's text for it.
[[noreturn]] void RaiseComError(HRESULT hr, SourceLine where = SourceLine::Here());

// Raises the HRESULT when it reports a failure.
inline void Check(HRESULT hr, SourceLine where = SourceLine::Here()) {
    if (FAILED(hr)) RaiseComError(hr, where);
}

}  // namespace qs
