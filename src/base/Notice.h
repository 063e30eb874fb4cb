// Message boxes and the beep: one entry point for the whole program, which tests can
// intercept to read what would have been shown.
#pragma once

#include <string>

namespace qs {

// What a message box shows: text, title and the MB_ style flags (icon and buttons).
struct MessageBoxRequest {
    std::wstring prompt;
    std::wstring title;
    unsigned style = 0;
};

// Receives message boxes and beeps instead of the screen and the speaker.
class NoticeSink {
public:
    virtual ~NoticeSink() = default;
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;  // returns the button chosen
    virtual void Beep() = 0;
};

// Routes notices to `sink`; nullptr brings back the real message box and beep.
void InterceptNotices(NoticeSink* sink);

// Shows a modal message box owned by the thread's active window and returns the button
// chosen (IDOK, ...). An empty title stands for the program's title.
int MsgBox(const std::wstring& prompt, unsigned style = 0, const std::wstring& title = {});

// Sounds the system's default beep.
void Beep();

}  // namespace qs
