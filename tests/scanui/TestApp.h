#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QThread>
#include <functional>
#include <ostream>

// One QApplication for the whole test program (GoogleTest's main creates none).
inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "test_scanui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Runs the event loop until the condition holds or the time is up; returns
// whether it held. Used to wait for a scan's queued end on the GUI thread.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Saves a picture of a widget for a person to look at, when CQ_SHOT_DIR
// names a folder; tests never depend on it.
inline void SaveShot(const QImage& image, const char* name) {
    const QByteArray dir = qgetenv("CQ_SHOT_DIR");
    if (!dir.isEmpty())
        image.save(QString::fromLocal8Bit(dir) + "/" + name);
}
