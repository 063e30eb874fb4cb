// Path helpers; each reports its own failure in the critical box.
#include "startup/modSupport.h"

#include "errors/Frames.h"
#include "toolkit/App.h"

namespace qs::modSupport {

std::wstring AppPath() {
    std::wstring result;
    criticalBox(L"Quorset.modSupport.AppPath", [&] { result = AddFinalSlash(toolkit::App::Path()); });
    return result;
}

std::wstring AddFinalSlash(const std::wstring& path) {
    std::wstring result;
    criticalBox(L"Quorset.modSupport.AddFinalSlash", [&] {
        result = !path.empty() && path.back() == L'\\' ? path : path + L'\\';
    });
    return result;
}

}  // namespace qs::modSupport
