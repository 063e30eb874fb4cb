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

class Registry : public ::testing::Test {
protected:
    void SetUp() override { ClearProgramKeys(); }
    void TearDown() override { ClearProgramKeys(); }

    CProgramSettings Store() {
        CProgramSettings store;
        store.RootKey(kCurrentUser);
        store.RegBase(L"Brom");
        store.Program(L"Quorset");
        return store;
    }
    NoticeRecorder notices;
};

TEST_F(Registry, ReadEntryTakesTextAndNumbersAndDefaultsForEverythingElse) {
    auto store = Store();
    auto plant = [&](const wchar_t* name, DWORD type, const std::string& bytes) {
        PlantBytes(kSettingsKey, name, type, bytes);
    };
    plant(L"NoTerminator", REG_SZ, "abc");
    plant(L"OneTerminator", REG_SZ, std::string("abc\0", 4));
    plant(L"TwoTerminators", REG_SZ, std::string("abc\0\0", 5));
    plant(L"Empty", REG_SZ, "");
    plant(L"Expand", REG_EXPAND_SZ, std::string("%TEMP%\0", 7));
    plant(L"Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    plant(L"Binary", REG_BINARY, "\x01\x02");
    int32_t fortyTwo = 42, zero = 0;
    int64_t wide = 7;
    Plant(kSettingsKey, L"Dword", REG_DWORD, &fortyTwo, 4);
    Plant(kSettingsKey, L"DwordZero", REG_DWORD, &zero, 4);
    Plant(kSettingsKey, L"Qword", REG_QWORD, &wide, 8);

    EXPECT_EQ(store.ReadEntry(L"NoTerminator", L"d"), L"abc");
    EXPECT_EQ(store.ReadEntry(L"OneTerminator", L"d"), L"abc");
    EXPECT_EQ(store.ReadEntry(L"TwoTerminators", L"d"), std::wstring(L"abc\0", 4)) << "only one zero is dropped";
    EXPECT_EQ(store.ReadEntry(L"Empty", L"d"), L"d");
    EXPECT_EQ(store.ReadEntry(L"Expand", L"d"), L"d");
    EXPECT_EQ(store.ReadEntry(L"Multi", L"d"), L"d");
    EXPECT_EQ(store.ReadEntry(L"Binary", L"d"), L"d");
    EXPECT_EQ(store.ReadEntry(L"Dword", L"d"), L"42");
    EXPECT_EQ(store.ReadEntry(L"DwordZero", L"d"), L"0");
    EXPECT_EQ(store.ReadEntry(L"Qword", L"d"), L"d");
    EXPECT_EQ(store.ReadEntry(L"Missing", L"d"), L"d");
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(Registry, HugeTextsAndTheCodePageSurviveTheRoundTrip) {
    auto store = Store();
    std::wstring huge(1 << 20, L'x');
    store.WriteEntry(L"Huge", huge);
    EXPECT_EQ(store.ReadEntry(L"Huge", L""), huge);
    EXPECT_EQ(ReadBack(kSettingsKey, L"Huge").bytes.size(), (1u << 20) + 1);

    store.WriteEntry(L"Umlauts", L"Gr\u00FC\u00DFe \u4E2D");
    EXPECT_EQ(ReadBack(kSettingsKey, L"Umlauts").bytes, std::string("Gr\xFC\xDF" "e ?\0", 8));
    EXPECT_EQ(store.ReadEntry(L"Umlauts", L""), L"Gr\u00FC\u00DF" L"e ?");
}

TEST_F(Registry, WriteEntryStoresTheTextWithOneTerminator) {
    auto store = Store();
    store.WriteEntry(L"AutoHide", L"True");
    Stored stored = ReadBack(kSettingsKey, L"AutoHide");
    EXPECT_EQ(stored.type, DWORD{REG_SZ});
    EXPECT_EQ(stored.bytes, std::string("True\0", 5));
}

TEST_F(Registry, ReadingNeverCreatesAKey) {
    auto store = Store();
    EXPECT_EQ(store.ReadEntry(L"AutoHide", L"True"), L"True");
    EXPECT_FALSE(KeyExists(kProgramKey));
}

TEST_F(Registry, TheKeyPathKeepsEmptyComponentsAndLosesOneTrailingBackslash) {
    CProgramSettings store;
    EXPECT_EQ(store.RootKey(), static_cast<int32_t>(0x80000002));
    EXPECT_EQ(store.KeyPath(), L"SOFTWARE\\\\\\Settings");
    store.RegBase(L"Brom");
    store.Program(L"Quorset");
    store.Section(L"");
    EXPECT_EQ(store.KeyPath(), L"SOFTWARE\\Brom\\Quorset");
    store.Program(L"");
    EXPECT_EQ(store.KeyPath(), L"SOFTWARE\\Brom\\");
}

TEST_F(Registry, SetKeyValueWritesTextBytesAndLittleEndianNumbers) {
    modRegistry::RegistrySetKeyValue(kCurrentUser, kSettingsKey, L"Text", Variant(std::wstring(L"abc")), REG_SZ);
    modRegistry::RegistrySetKeyValue(kCurrentUser, kSettingsKey, L"Bytes", Variant(ByteArray{1, 0, 255}), REG_BINARY);
    modRegistry::RegistrySetKeyValue(kCurrentUser, kSettingsKey, L"Number", Variant(std::wstring(L"-2")), REG_DWORD);
    EXPECT_EQ(ReadBack(kSettingsKey, L"Text").bytes, std::string("abc\0", 4));
    Stored bytes = ReadBack(kSettingsKey, L"Bytes");
    EXPECT_EQ(bytes.type, DWORD{REG_BINARY});
    EXPECT_EQ(bytes.bytes, std::string("\x01\x00\xFF", 3));
    Stored number = ReadBack(kSettingsKey, L"Number");
    EXPECT_EQ(number.type, DWORD{REG_DWORD});
    EXPECT_EQ(number.bytes, std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(Registry, SetKeyValueWithAnotherTypeCreatesTheKeyOnly) {
    modRegistry::RegistrySetKeyValue(kCurrentUser, kSettingsKey, L"Expand", Variant(std::wstring(L"x")), REG_EXPAND_SZ);
    EXPECT_TRUE(KeyExists(kSettingsKey));
    EXPECT_FALSE(ReadBack(kSettingsKey, L"Expand").exists);
}

TEST_F(Registry, RunTimeFailuresShowTheShortBoxTitledWithTheOperation) {
    modRegistry::RegistrySetKeyValue(kCurrentUser, kSettingsKey, L"Bytes", Variant(std::wstring(L"x")), REG_BINARY);
    modRegistry::RegistrySetKeyValue(kCurrentUser, kSettingsKey, L"Number", Variant(std::wstring(L"abc")), REG_DWORD);
    ASSERT_EQ(notices.boxes.size(), 2u);
    for (auto& box : notices.boxes) {
        EXPECT_EQ(box.title, L"RegistrySetKeyValue");
        EXPECT_EQ(box.prompt, L"Error: 13. Type mismatch");
        EXPECT_EQ(box.style, unsigned(MB_OK));
    }
    EXPECT_FALSE(ReadBack(kSettingsKey, L"Bytes").exists);
    EXPECT_FALSE(ReadBack(kSettingsKey, L"Number").exists);
}

TEST_F(Registry, DeletingAMissingValueOrKeyChangesNothing) {
    modRegistry::RegistryDeleteValue(kCurrentUser, kSettingsKey, L"Nothing");
    EXPECT_FALSE(KeyExists(kSettingsKey)) << "nothing is created";
    modRegistry::RegistryCreateNewKey(kCurrentUser, kSettingsKey);
    EXPECT_TRUE(KeyExists(kSettingsKey));
    modRegistry::RegistryDeleteValue(kCurrentUser, kSettingsKey, L"Nothing");
    PlantBytes(kSettingsKey, L"Gone", REG_SZ, "x");
    modRegistry::RegistryDeleteValue(kCurrentUser, kSettingsKey, L"Gone");
    EXPECT_FALSE(ReadBack(kSettingsKey, L"Gone").exists);
    EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
