// main() of the window and platform tests: the demo site as the proxy, a
// stand-in for the desktop's opener, the Ruffle scheme, the Chinese texts, then one QApplication for every test.
#include "DemoSite.h"
#include "DesktopOpener.h"
#include "FormDefaults.h"
#include "ProcessSetup.h"
#include "ProgramLanguage.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The tests check the program's own Chinese texts, whatever the machine's
    // language: here, and in the programs they start.
    qputenv("LANGUAGE", "zh_CN");
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();  // test discovery at build time has no display
    if (!vidlatch::test::DemoSite::Start()) {
        std::fprintf(stderr, "could not start the demo site\n");
        return 1;
    }
    if (!vidlatch::test::DesktopOpener::Install()) {
        std::fprintf(stderr, "could not put the desktop's opener in place\n");
        return 1;
    }
    vidlatch::platform::PrepareApplication();
    QApplication app(argc, argv);
    vidlatch::platform::ApplyFormDefaults();
    vidlatch::platform::UseLanguage(vidlatch::platform::ProgramLanguage::Chinese);
    const int result = RUN_ALL_TESTS();
    vidlatch::test::DemoSite::Stop();
    return result;
}
