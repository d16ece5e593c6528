#include "app/splash/FormSplash.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QThread>

#include "app/splash/JpegCodec.h"

// The picture is built into this static library; naming its resource here
// keeps the linker from dropping it.
static void InitSplashResource() {
    Q_INIT_RESOURCE(splash);
}

namespace cq::app {

QImage SplashPicture() {
    InitSplashResource();
    QFile file(QStringLiteral(":/cq/splash/splash.jpg"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return DecodeJpeg(file.readAll());
}

TFormSplash::TFormSplash(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FormSplash"));
    setFixedSize(kClientWidth, kClientHeight);
    move(kLeft, kTop);

    bkg_ = new QLabel(this);
    bkg_->setObjectName(QStringLiteral("BKG"));
    bkg_->setGeometry(0, 0, kClientWidth, kClientHeight);
    bkg_->setScaledContents(true);
    bkg_->setPixmap(QPixmap::fromImage(SplashPicture()));
    bkg_->installEventFilter(this);
}

void TFormSplash::Start() {
    show();
    // Let the window system map the window before the thread blocks, so the
    // picture is really on the screen during the pause. User input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    QThread::msleep(static_cast<unsigned long>(pauseMs_));
    Q_EMIT StartupMessage();
    hide();
}

bool TFormSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bkg_ && event->type() == QEvent::MouseButtonPress) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace cq::app

// The meta-object code is compiled with this file rather than on its own.
#include "moc_FormSplash.cpp"
