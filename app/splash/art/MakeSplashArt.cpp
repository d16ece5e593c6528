// Draws the splash picture and writes it as a JPEG. Run by hand after
// changing the drawing (cmake --build <build> --target cq_splash_art) and
// commit the picture.
//   cq_make_splash_art <app/splash/splash.jpg>

#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

#include "app/about/ProgramIcon.h"
#include "app/splash/FormSplash.h"
#include "app/splash/JpegCodec.h"

namespace {

QImage SplashArt() {
    using cq::app::TFormSplash;
    QImage image(TFormSplash::kClientWidth, TFormSplash::kClientHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, image.width(), image.height());
    sky.setColorAt(0, QColor(28, 58, 150));
    sky.setColorAt(1, QColor(10, 22, 70));
    p.fillRect(image.rect(), sky);
    // A thin light rule along the bottom, like a stratum of the quarry.
    p.fillRect(QRect(0, image.height() - 5, image.width(), 2), QColor(120, 170, 255));

    p.drawImage(QRect(12, 10, 44, 44), cq::app::ProgramIconImage(44));

    QFont title(QStringLiteral("Tahoma"));
    title.setPixelSize(24);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(68, 6, 220, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Cobaltquarry"));

    QFont small(QStringLiteral("Tahoma"));
    small.setPixelSize(11);
    p.setFont(small);
    p.setPen(QColor(200, 215, 255));
    p.drawText(QRect(70, 36, 220, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("where the space of your disks goes"));
    p.drawText(QRect(230, 48, 60, 12), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("1.2"));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <splash.jpg>\n", argv[0]);
        return 2;
    }
    const QByteArray jpeg = cq::app::EncodeJpeg(SplashArt(), 92);
    QFile out(QString::fromLocal8Bit(argv[1]));
    return !jpeg.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(jpeg) == jpeg.size() ? 0
                                                                                               : 1;
}
