// Path helpers; each reports its own failure in the critical box.
#include "base/modSupport.h"

#include "base/Frames.h"
#include "base/App.h"

namespace qs::modSupport {

std::wstring AppPath() {
    std::wstring result;
    criticalBox(L"Quorset.modSupport.AppPath", [&] { result = AddFinalSlash(App::Path()); });
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
