#pragma once

#include <QString>

// One QApplication for the whole test program, offscreen unless the caller
// chose a platform; created before the first test, destroyed after the last.
namespace cq::test {

// The folder where tests leave screenshots for people to look at.
QString ScreenshotFolder();

}  // namespace cq::test
