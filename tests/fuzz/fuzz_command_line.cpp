// The command line's arguments are a tail of it without leading blanks, and the silent
// switch is found exactly when "/S" stands in them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qs::text;
    std::wstring line(data, data + size);
    std::wstring_view arguments = ArgumentsOf(line);
    if (arguments.size() > line.size() || line.compare(line.size() - arguments.size(), arguments.size(), arguments) != 0)
        std::abort();
    if (!arguments.empty() && (arguments[0] == L' ' || arguments[0] == L'\t')) std::abort();
    if (IsSilentStart(arguments) != (arguments.find(L"/S") != std::wstring_view::npos)) std::abort();
    return 0;
}
