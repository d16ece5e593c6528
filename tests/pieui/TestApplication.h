#pragma once
// One QApplication for a whole test program (widgets, clipboard, fonts),
// created before the first test runs. QT_QPA_PLATFORM=offscreen is set by
// the test registration.
#include <QApplication>

QApplication& TestApplication();
