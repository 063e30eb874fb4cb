// The two user settings: their defaults and an unreadable one. The Windows "Run" entry's
// text, its coming and going at Apply and both settings stored when the program ends are
// seen end to end.
#include <gtest/gtest.h>

#include "Support.h"
#include "settings/CAppSettings.h"
#include "settings/RegistryHelpers.h"

using namespace qs;
using namespace qs::test;

namespace {

class AppSettings : public WithoutProgramKeys {
protected:
    NoticeRecorder notices;
};

// How each stored text reads is the text conversions' table; that each setting reads its
// own value ("False" for both) is seen end to end, in the configuration dialog.
TEST_F(AppSettings, NothingStoredMeansTrueAndLoadingWritesNothing) {
    CAppSettings settings;
    EXPECT_TRUE(settings.AutoHide());
    EXPECT_TRUE(settings.AutoRun());
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_FALSE(KeyExists(kProgramKey)) << "loading writes nothing";
    EXPECT_FALSE(ReadBack(kRunKey, L"Quorset").exists) << "loading never touches the Run entry";
}

TEST_F(AppSettings, AnUnreadableSettingStopsLoadingWithTheCriticalBox) {
    StoreSetting(L"AutoHide", "maybe");
    StoreSetting(L"AutoRun", "True");
    CAppSettings settings;
    EXPECT_FALSE(settings.AutoHide());
    EXPECT_FALSE(settings.AutoRun()) << "loading stopped before it";
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].prompt.rfind(L"An error has occured in Quorset.CAppSettings.Class_Initialize \r\n\r\n"
                                            L"Error:13\r\nDescription:Type mismatch\r\nLine:", 0), 0u);
    EXPECT_EQ(notices.boxes[0].style, kCritical);
}

}  // namespace
