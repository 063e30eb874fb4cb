// The settings store and the public registry operations against the real registry:
// every value type, terminators, sizes, code page and the boxes of run-time failures.
#include <gtest/gtest.h>

#include "Support.h"
#include "settings/CProgramSettings.h"
#include "settings/Registry.h"
#include "settings/RegistryHelpers.h"

using namespace qs;
using namespace qs::test;

namespace {

constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001);

class Registry : public WithoutProgramKeys {
protected:
    NoticeRecorder notices;
};

// One table per reader and writer: what is stored (type and bytes) against what it gives.
TEST_F(Registry, ReadEntryTakesTextAndNumbersAndDefaultsForEverythingElse) {
    CProgramSettings store;
    store.RootKey(kCurrentUser);
    store.RegBase(L"Brom");
    store.Program(L"Quorset");
    const struct {
        DWORD type;
        std::string bytes;
        std::wstring read;
    } rows[] = {
        {REG_SZ, "abc", L"abc"}, {REG_SZ, std::string("abc\0", 4), L"abc"},
        {REG_SZ, std::string("abc\0\0", 5), std::wstring(L"abc\0", 4)},  // only one zero is dropped
        {REG_SZ, "", L"d"}, {REG_DWORD, std::string("\x2A\0\0\0", 4), L"42"},
        {REG_EXPAND_SZ, std::string("%TEMP%\0", 7), L"d"},  // every other type: the default
    };
    for (const auto& row : rows) {
        PlantBytes(kSettingsKey, L"Value", row.type, row.bytes);
        EXPECT_EQ(store.ReadEntry(L"Value", L"d"), row.read) << row.type << " " << row.bytes;
    }
    EXPECT_TRUE(notices.boxes.empty());
}

// That reading creates no key is AppSettingsTest's: loading the settings writes nothing.
// The program's own entries are True or False; the writers' code page with one
// terminator is seen end to end, in the "Run" entry under the double-byte code pages.

TEST_F(Registry, SetKeyValueWritesEachTypeOrShowsTheShortBoxTitledWithTheOperation) {
    const struct {
        std::wstring value;  // the program writes text only
        DWORD type;
        std::string stored;  // "-" for nothing stored
        bool fails;
    } rows[] = {
        {L"abc", REG_SZ, std::string("abc\0", 4), false},
        {L"-2", REG_DWORD, "\xFE\xFF\xFF\xFF", false},
        {L"x", REG_EXPAND_SZ, "-", false},  // another type: the key only
        {L"abc", REG_DWORD, "-", true},
    };
    for (const auto& row : rows) {
        ClearProgramKeys();
        notices.boxes.clear();
        modRegistry::RegistrySetKeyValue(kCurrentUser, kSettingsKey, L"Value", Variant(row.value), row.type);
        Stored stored = ReadBack(kSettingsKey, L"Value");
        EXPECT_EQ(stored.exists ? stored.bytes : "-", row.stored) << row.type;
        EXPECT_EQ(stored.type, stored.exists ? row.type : 0u);
        EXPECT_TRUE(KeyExists(kSettingsKey)) << row.type;
        Boxes box{{L"Error: 13. Type mismatch", L"RegistrySetKeyValue", MB_OK}};
        EXPECT_EQ(notices.boxes, row.fails ? box : Boxes{}) << row.type;
    }
}

}  // namespace
