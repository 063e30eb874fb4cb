// Reads the program's own version information and locations.
#include "base/App.h"

#include <windows.h>

#include <cstdint>
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

std::wstring QueryString(const std::vector<BYTE>& block, const std::wstring& language, const wchar_t* name) {
    std::wstring key = L"\\StringFileInfo\\" + language + L"\\" + name;
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) || !text)
        return {};
    std::wstring value(text, length);
    if (auto nul = value.find(L'\0'); nul != std::wstring::npos) value.resize(nul);
    return value;
}

VersionFacts ReadVersionFacts() {
    VersionFacts facts;
    std::wstring file = ModuleFileName();
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return facts;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return facts;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        facts.major = HIWORD(fixed->dwFileVersionMS);
        facts.minor = LOWORD(fixed->dwFileVersionMS);
        facts.revision = HIWORD(fixed->dwFileVersionLS);
    }

    // The string table of the first translation the resource lists.
    struct Translation { WORD language, codePage; }* translation = nullptr;
    std::wstring language = L"040904b0";
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                         &length) && translation && length >= sizeof(Translation)) {
        wchar_t code[16];
        ::wsprintfW(code, L"%04x%04x", translation->language, translation->codePage);
        language = code;
    }
    facts.title = QueryString(block, language, L"FileDescription");
    facts.company = QueryString(block, language, L"CompanyName");
    facts.product = QueryString(block, language, L"ProductName");
    facts.copyright = QueryString(block, language, L"LegalCopyright");
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
