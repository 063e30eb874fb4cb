// COM failures as program errors.
#include "errors/ComError.h"

#include "base/Handles.h"

namespace qs {

void RaiseComError(HRESULT hr, SourceLine where) {
    unique_hlocal text;
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
    std::wstring description =
        length ? std::wstring(static_cast<const wchar_t*>(text.get()), length) : RuntimeErrorText(hr);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r'))
        description.pop_back();
    Raise(static_cast<int32_t>(hr), kProjectName, description, where);
}

}  // namespace qs
