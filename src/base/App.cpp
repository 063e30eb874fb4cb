// Reads the program's own version information and locations.
#include "base/App.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "text/CommandLine.h"

namespace qs::App {
namespace {

std::wstring ModuleFileName() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

struct VersionFacts {
    std::wstring title, company, product, copyright;
    int32_t major = 0, minor = 0, revision = 0;
};

// One block of the VERSIONINFO resource: its length, the length and kind of its value, a
// key, then the value and the child blocks, each starting on a four-byte boundary of
// the resource. The resource is read in place, so that no library outside the system's
// own set is loaded for it.
struct VersionBlock {
    std::wstring_view key;
    const BYTE* value = nullptr;   // the value's first byte
    const BYTE* children = nullptr;
    const BYTE* end = nullptr;     // the byte after the block (and after its children)
    size_t valueBytes = 0;
};

class VersionResource {
public:
    VersionResource(const BYTE* data, size_t size) : start_(data), limit_(data + size) {}

    // The block at `at`; an empty key when it does not fit what is left of its parent.
    VersionBlock At(const BYTE* at, const BYTE* limit) const {
        VersionBlock block;
        WORD header[3];  // length, value length, kind (1 text, 0 binary)
        if (limit - at < static_cast<ptrdiff_t>(sizeof header)) return block;
        std::memcpy(header, at, sizeof header);
        if (header[0] < sizeof header || header[0] > limit - at) return block;
        block.end = at + header[0];
        auto key = reinterpret_cast<const wchar_t*>(at + sizeof header);
        size_t length = 0;
        while (reinterpret_cast<const BYTE*>(key + length + 1) <= block.end && key[length]) ++length;
        if (reinterpret_cast<const BYTE*>(key + length + 1) > block.end) return block;
        block.value = Aligned(reinterpret_cast<const BYTE*>(key + length + 1), block.end);
        block.valueBytes = std::min<size_t>(header[2] == 1 ? header[1] * sizeof(wchar_t) : header[1],
                                            block.end - block.value);
        block.children = Aligned(block.value + block.valueBytes, block.end);
        block.key = {key, length};
        return block;
    }
    VersionBlock Root() const { return At(start_, limit_); }

    // The child of `parent` with the key, compared as the system compares version keys
    // (without regard to case); an empty key when there is none.
    VersionBlock Child(const VersionBlock& parent, std::wstring_view key) const {
        for (const BYTE* at = parent.children; at < parent.end;) {
            VersionBlock child = At(at, parent.end);
            if (child.key.empty()) break;
            if (::CompareStringOrdinal(child.key.data(), static_cast<int>(child.key.size()), key.data(),
                                       static_cast<int>(key.size()), TRUE) == CSTR_EQUAL)
                return child;
            at = Aligned(child.end, parent.end);
        }
        return {};
    }

    // A text value, up to its terminator within the block: tools disagree on whether a
    // text's length counts characters or bytes.
    static std::wstring Text(const VersionBlock& block) {
        if (block.key.empty()) return {};
        std::wstring text(reinterpret_cast<const wchar_t*>(block.value), (block.end - block.value) / sizeof(wchar_t));
        if (auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
        return text;
    }

private:
    const BYTE* Aligned(const BYTE* at, const BYTE* limit) const {
        return std::min(start_ + ((at - start_ + 3) & ~ptrdiff_t{3}), limit);
    }
    const BYTE* start_;
    const BYTE* limit_;
};

VersionFacts ReadVersionFacts() {
    VersionFacts facts;
    HMODULE program = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found ? ::LoadResource(program, found) : nullptr;
    auto data = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data) return facts;
    VersionResource resource(data, ::SizeofResource(program, found));
    VersionBlock root = resource.Root();
    if (root.key != L"VS_VERSION_INFO") return facts;

    VS_FIXEDFILEINFO fixed{};
    if (root.valueBytes >= sizeof fixed) std::memcpy(&fixed, root.value, sizeof fixed);
    if (fixed.dwSignature == VS_FFI_SIGNATURE) {
        facts.major = HIWORD(fixed.dwFileVersionMS);
        facts.minor = LOWORD(fixed.dwFileVersionMS);
        facts.revision = HIWORD(fixed.dwFileVersionLS);
    }

    // The string table of the first translation the resource lists.
    std::wstring language = L"040904b0";
    VersionBlock translation = resource.Child(resource.Child(root, L"VarFileInfo"), L"Translation");
    if (translation.valueBytes >= 2 * sizeof(WORD)) {
        WORD pair[2];
        std::memcpy(pair, translation.value, sizeof pair);
        wchar_t code[16];
        ::wsprintfW(code, L"%04x%04x", pair[0], pair[1]);
        language = code;
    }
    VersionBlock table = resource.Child(resource.Child(root, L"StringFileInfo"), language);
    facts.title = VersionResource::Text(resource.Child(table, L"FileDescription"));
    facts.company = VersionResource::Text(resource.Child(table, L"CompanyName"));
    facts.product = VersionResource::Text(resource.Child(table, L"ProductName"));
    facts.copyright = VersionResource::Text(resource.Child(table, L"LegalCopyright"));
    return facts;
}

const VersionFacts& Facts() {
    static const VersionFacts facts = ReadVersionFacts();
    return facts;
}

}  // namespace

const std::wstring& Title() { return Facts().title; }
const std::wstring& CompanyName() { return Facts().company; }
const std::wstring& ProductName() { return Facts().product; }
const std::wstring& LegalCopyright() { return Facts().copyright; }
int32_t Major() { return Facts().major; }
int32_t Minor() { return Facts().minor; }
int32_t Revision() { return Facts().revision; }

std::wstring Path() {
    std::wstring file = ModuleFileName();
    std::wstring folder = file.substr(0, file.find_last_of(L"\\/"));
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

std::wstring EXEName() {
    std::wstring file = ModuleFileName();
    std::wstring name = file.substr(file.find_last_of(L"\\/") + 1);
    if (auto dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::wstring InstanceMarkerName() {
    // Object names cannot hold backslashes; a hash of the lower-case path keeps the
    // name short and the same for every spelling of the path's case.
    std::wstring file = ModuleFileName();
    ::CharLowerBuffW(file.data(), static_cast<DWORD>(file.size()));
    uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (wchar_t c : file) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    wchar_t user[256] = L"";
    DWORD size = 256;
    ::GetUserNameW(user, &size);
    wchar_t name[400];
    ::wsprintfW(name, L"Local\\Quorset-%s-%08lx%08lx", user, static_cast<unsigned long>(hash >> 32),
                static_cast<unsigned long>(hash & 0xFFFFFFFF));
    return name;
}

bool PrevInstance() {
    static const bool previous = [] {
        HANDLE marker = ::CreateMutexW(nullptr, FALSE, InstanceMarkerName().c_str());
        DWORD error = ::GetLastError();
        // Held for the life of the process on purpose: it marks this instance. Access
        // denied means the object exists but was made with rights this process lacks
        // (an elevated instance): another instance all the same.
        return marker == nullptr ? error == ERROR_ACCESS_DENIED : error == ERROR_ALREADY_EXISTS;
    }();
    return previous;
}

std::wstring CommandLine() { return std::wstring(text::ArgumentsOf(::GetCommandLineW())); }

}  // namespace qs::App
