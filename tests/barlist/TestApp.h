#pragma once

#include <QApplication>

// One application object for all cases of the program (gtest_main owns main).
inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "cobaltquarry-test";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QApplication::instance())) {
        return *existing;
    }
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
