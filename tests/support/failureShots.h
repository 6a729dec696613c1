// A picture of the whole desktop at each test's first failure, so that whoever reads a red run
// sees what the test saw without running it again.
#pragma once

namespace testing_support {

// Saves <TOLVIN_FAILURE_DIR>/<Suite.Test>.bmp at the first failed check of each test, when that
// variable names a folder (a Unix path is reached through Wine's drive Z:). Call after
// InitGoogleTest.
void SaveScreenshotsOfFailures();

} // namespace testing_support
