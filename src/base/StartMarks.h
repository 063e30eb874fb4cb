// Time marks through the start-up, for finding where its time goes. Built in only with
// the CMake option QUORSET_START_MARKS; each mark then writes the milliseconds since the
// process was created to the debug output (under Wine: WINEDEBUG=+debugstr).
#pragma once

#ifdef QUORSET_START_MARKS
#include <windows.h>

#include <cstdio>

namespace qs {

inline void StartMark(const char* step) {
    FILETIME created{}, unused{}, now{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &unused, &unused, &unused);
    ::GetSystemTimePreciseAsFileTime(&now);
    auto ticks = [](FILETIME t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    char line[128];
    std::snprintf(line, sizeof line, "start mark %7.2f ms  %s\n", static_cast<double>(ticks(now) - ticks(created)) / 1e4,
                  step);
    ::OutputDebugStringA(line);
}

}  // namespace qs

#define QS_START_MARK(step) ::qs::StartMark(step)
#else
#define QS_START_MARK(step) ((void)0)
#endif
