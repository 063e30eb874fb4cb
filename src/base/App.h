// Facts about the running program: its version information, folder, file name and
// command line.
#pragma once

#include <cstdint>
#include <string>

namespace qs::App {

// From the executable's VERSIONINFO resource (empty or 0 when it has none). The title
// is the file description; the revision is the third part of the file version.
const std::wstring& Title();
const std::wstring& CompanyName();
const std::wstring& ProductName();
const std::wstring& LegalCopyright();
int32_t Major();
int32_t Minor();
int32_t Revision();

// The folder that holds the executable, without a trailing backslash except for a
// drive's root ("D:\").
std::wstring Path();

// The executable's file name without folder and extension.
std::wstring EXEName();

// The arguments of the command line without the program's name, leading blanks removed.
std::wstring CommandLine();

// True when another instance of this executable runs for the same user. The first
// call claims the instance for this process, which keeps the claim until it ends.
[[nodiscard]] bool PrevInstance();

// The name of the per-user, per-executable object that marks a running instance.
std::wstring InstanceMarkerName();


}  // namespace qs::App
