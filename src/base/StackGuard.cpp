// The guard value that every function built with the stack protector checks before it
// returns, and the end of a process whose check failed. Linked into every binary of the
// program, each with a guard of its own.
#include <windows.h>

#include <cstdint>

extern "C" {

// A fixed value until the start-up below replaces it.
uintptr_t __stack_chk_guard = 0x2b992ddfa232;

// A stack that was written past an array's end cannot be trusted to unwind: the process
// ends at once, with the system's own report of a stack buffer overrun, and runs no
// handler of its own.
[[noreturn]] void __stack_chk_fail() {
    asm volatile("int $0x29" ::"c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE));
    __builtin_unreachable();
}

}  // extern "C"

namespace {

// Runs before the binary's other start-up code, while no checked function is on the
// stack, and is not checked itself (the guard changes under it). It asks only the kernel
// for what differs between starts: the time, the performance counter, the process and
// thread, and where the stack and the binary lie. A source of random numbers would load
// libraries of its own before the entry point.
__attribute__((constructor(101), no_stack_protector)) void SetStackGuard() {
    FILETIME time{};
    ::GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    uint64_t guard = (static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) ^
                     static_cast<uint64_t>(counter.QuadPart) << 16 ^ static_cast<uint64_t>(::GetCurrentProcessId()) << 40 ^
                     static_cast<uint64_t>(::GetCurrentThreadId()) << 20 ^ ::GetTickCount64() ^
                     reinterpret_cast<uintptr_t>(&counter) ^ reinterpret_cast<uintptr_t>(&__stack_chk_guard);
    if (guard != 0) __stack_chk_guard = guard;
}

}  // namespace
