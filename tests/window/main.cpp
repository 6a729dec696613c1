#include "support/failureShots.h"
#include "toolkit/form.h"

#include <gtest/gtest.h>

int g_programEnds = 0;

int wmain(int argc, wchar_t** argv) {
    // The registry ends the program when its last marker goes; here that is recorded.
    tk::SetEndProgramAction([] { ++g_programEnds; });
    testing::InitGoogleTest(&argc, argv);
    testing_support::SaveScreenshotsOfFailures();
    return RUN_ALL_TESTS();
}
