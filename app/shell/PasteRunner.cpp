#include "app/shell/PasteRunner.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <memory>

using namespace cq::desktop;

namespace {

constexpr int kRefreshMs = 100;

QString CopiedText(std::int64_t bytes) {
    return QStringLiteral("Copying\u2026 %1 copied")
        .arg(QLocale::system().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat));
}

}  // namespace

TActionResult RunPaste(QWidget* owner, const TClipboardItems& items,
                       const std::string& folderNativePath) {
    TCopyProgress progress;
    TActionResult result;
    std::unique_ptr<QThread> worker(
        QThread::create([&] { result = PasteItems(items, folderNativePath, &progress); }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);

    QProgressDialog box(CopiedText(0), QStringLiteral("Cancel"), 0, 0, owner);
    box.setWindowTitle(QStringLiteral("Paste"));
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(kPasteProgressDelayMs);
    QObject::connect(&box, &QProgressDialog::canceled, &box,
                     [&progress] { progress.cancel = true; });
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &box, [&] {
        box.setLabelText(CopiedText(progress.bytes.load()));
        box.setValue(0);  // shows the box once the delay has passed
    });
    refresh.start(kRefreshMs);

    worker->start();
    loop.exec();
    worker->wait();
    refresh.stop();
    box.reset();
    if (result.ok && items.cut)
        QGuiApplication::clipboard()->clear();
    return result;
}
