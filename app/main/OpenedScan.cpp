#include "app/main/OpenedScan.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

#include "app/main/FolderPathLabel.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"
#include "platform/NameText.h"

namespace {

// A letter no drive of this machine uses, from the end of the alphabet.
char FreeLetter() {
    const auto table = TDriveTable::Current();
    for (char letter = 'Z'; letter > 'A'; --letter)
        if (table->Find(letter) == nullptr)
            return letter;
    return 'A';
}

// Runs Work on a worker thread; the window stays painted behind a progress
// box whose Cancel sets the flag Work watches.
bool RunWithProgress(QWidget* owner, const QString& label, std::atomic<bool>& cancel,
                     const std::function<bool()>& work) {
    QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 0, owner);
    progress.setWindowTitle(QStringLiteral("Open scan file"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    std::atomic<bool> done{false};
    bool ok = false;
    std::thread worker([&] {
        ok = work();
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (progress.wasCanceled())
            cancel = true;
        if (done)
            loop.quit();
    });
    poll.start(30);
    loop.exec();
    worker.join();
    return ok;
}

}  // namespace

TOpenedScan::TOpenedScan() = default;
TOpenedScan::~TOpenedScan() = default;

bool TOpenedScan::Open(const QString& file, QWidget* owner, QString& error) {
    const std::string path = QFile::encodeName(file).toStdString();
    const char letter = IsOpen() ? letter_ : FreeLetter();
    TImportedScan scan;
    std::string why;
    std::atomic<bool> cancel{false};
    const QString label =
        QStringLiteral("Reading %1\u2026").arg(VisibleControls(QFileInfo(file).fileName()));
    const bool read = RunWithProgress(
        owner, label, cancel, [&] { return ReadImportedScan(path, letter, scan, why, &cancel); });
    if (!read) {
        error =
            cancel ? QString() : VisibleControls(QFile::decodeName(QByteArray::fromStdString(why)));
        return false;
    }
    Close();
    scan_ = std::move(scan);
    letter_ = letter;
    fileName_ = QFileInfo(file).fileName();
    scope_ = std::make_unique<TScopedVirtualDrive>(*scan_.Drive);
    return true;
}

void TOpenedScan::Close() {
    scope_.reset();
    scan_ = TImportedScan{};
}

std::string TOpenedScan::Root() const {
    return std::string(1, letter_) + ":\\";
}

void TOpenedScan::FillStore(TResultStore& store, TTreeLists& tree) {
    store.SetFiles("");
    store.GlobalDirs = std::move(scan_.Result.Dirs);
    store.GlobalDirSizes = std::move(scan_.Result.DirSizes);
    store.GlobalPercents = std::move(scan_.Result.Percents);
    store.LoadTree(tree);
}

QString TOpenedScan::RootCaption() const {
    return ReadablePath(scan_.Result.RootName);
}

QString TOpenedScan::Where(const std::string& folder) const {
    // "Z:\a\b" below the root "/srv/data" is "/srv/data/a/b": the drive-form
    // mapping, with the scanned folder as the drive's mount point.
    const std::string& root = scan_.Result.RootName;
    const TDriveTable scanned({TDrive{letter_, root.empty() ? std::string("/") : root}});
    const std::string native = DriveFormToNative(folder, scanned).value_or(root);
    QString where =
        QStringLiteral("%1 (read-only): %2").arg(VisibleControls(fileName_), ReadablePath(native));
    const std::int64_t when = scan_.Result.Meta.Timestamp;
    if (when > 0)
        where += QStringLiteral(", scanned %1")
                     .arg(QLocale::system().toString(QDateTime::fromSecsSinceEpoch(when),
                                                     QLocale::ShortFormat));
    return where;
}

QString TOpenedScan::AskForFile(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Open scan file"), QString(),
                                        QStringLiteral("Scan files (*.json *.zst);;All files (*)"));
}

void TOpenedScan::TellError(QWidget* owner, const QString& error) {
    if (error.isEmpty())
        return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Open scan file"), error, QMessageBox::Ok,
                    owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
