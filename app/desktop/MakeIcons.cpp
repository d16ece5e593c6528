// Build step: writes the icon at the sizes the desktop's icon theme keeps.
#include <QGuiApplication>
#include <QString>

#include "app/desktop/AppIcon.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        if (!AppIconImage(size).save(QString("%1/cobaltquarry-%2.png").arg(folder).arg(size))) {
            return 1;
        }
    }
    return 0;
}
