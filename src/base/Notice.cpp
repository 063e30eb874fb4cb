// The real message box and beep, or the sink a test has put in their place.
#include "base/Notice.h"

#include <windows.h>

#include "base/App.h"

namespace qs {
namespace {
NoticeSink* gSink = nullptr;
}

void InterceptNotices(NoticeSink* sink) { gSink = sink; }

int MsgBox(const std::wstring& prompt, unsigned style, const std::wstring& title) {
    MessageBoxRequest request{prompt, title.empty() ? App::Title() : title, style};
    if (gSink) return gSink->ShowMessageBox(request);
    return ::MessageBoxW(::GetActiveWindow(), request.prompt.c_str(), request.title.c_str(), request.style);
}

void Beep() {
    if (gSink) return gSink->Beep();
    ::MessageBeep(MB_OK);
}

}  // namespace qs
