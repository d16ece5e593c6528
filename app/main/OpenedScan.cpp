#include "app/main/OpenedScan.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSaveFile>
#include <atomic>
#include <functional>
#include <mutex>
#include <new>

#include "app/main/FolderPathLabel.h"
#include "app/wait/WorkBehindProgress.h"
#include "platform/DataFolder.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"
#include "platform/NameText.h"

namespace {

// Runs read; a scan larger than the memory the program may take is refused
// with a message as a damaged one is (the part read is dropped), instead of
// ending the program.
bool WithinMemory(const std::string& name, std::string& why, const std::function<bool()>& read) {
    try {
        return read();
    } catch (const std::bad_alloc&) {
        why = name + ": the scan is larger than the memory this program may use";
        return false;
    }
}

// A letter no drive of this machine uses, from the end of the alphabet.
char FreeLetter() {
    const auto table = TDriveTable::Current();
    for (char letter = 'Z'; letter > 'A'; --letter)
        if (table->Find(letter) == nullptr)
            return letter;
    return 'A';
}

// A read shows its box only once it has taken a few seconds: most files
// are read well before, and a box that flashes up tells nothing.
constexpr int kReadingBoxAfterMs = 4000;

// The box a scan is read behind; the window stays painted meanwhile.
TProgressBox ReadingBox(const QString& title, const QString& label) {
    TProgressBox box;
    box.Title = title;
    box.Label = label;
    box.ObjectName = QStringLiteral("OpenScanProgress");
    box.ShowAfterMs = kReadingBoxAfterMs;
    box.RefreshMs = 30;
    return box;
}

// Bytes received, items read, the folder being read and, when the server
// has gone quiet, for how long.
QString RemoteStatus(const QString& host, TRemoteProgress& progress) {
    QString folder;
    {
        const std::lock_guard<std::mutex> hold(progress.Import.Lock);
        folder =
            VisibleControls(QFile::decodeName(QByteArray::fromStdString(progress.Import.Folder)));
    }
    const QLocale locale = QLocale::system();
    QString text =
        QStringLiteral("Scanning on %1\u2026\nReceived %2, %3 items read")
            .arg(host, locale.formattedDataSize(static_cast<qint64>(progress.Bytes.load())),
                 locale.toString(static_cast<qulonglong>(progress.Import.Items.load())));
    if (!folder.isEmpty())
        text += QStringLiteral("\nIn %1").arg(folder);
    const int idle = progress.IdleSeconds.load();
    if (idle >= 5)
        text += QStringLiteral("\nNo data for %1 s (stopped at 60 s)").arg(idle);
    return text;
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
    bool read = false;
    RunBehindProgress(owner, ReadingBox(QStringLiteral("Open scan file"), label), cancel, [&] {
        read = WithinMemory(path, why,
                            [&] { return ReadImportedScan(path, letter, scan, why, &cancel); });
    });
    if (!read) {
        error =
            cancel ? QString() : VisibleControls(QFile::decodeName(QByteArray::fromStdString(why)));
        return false;
    }
    Install(std::move(scan), letter, QFileInfo(file).fileName(), nullptr);
    return true;
}

void TOpenedScan::Install(TImportedScan scan, char letter, const QString& name,
                          std::unique_ptr<QTemporaryFile> received) {
    Close();
    scan_ = std::move(scan);
    letter_ = letter;
    fileName_ = name;
    received_ = std::move(received);
    scope_ = std::make_unique<TScopedVirtualDrive>(*scan_.Drive);
}

bool TOpenedScan::OpenRemote(const TRemoteRequest& request, QWidget* owner, QString& error) {
    const char letter = IsOpen() ? letter_ : FreeLetter();
    TRemoteSettings settings;
    settings.SshCommand =
        qEnvironmentVariable("COBALTQUARRY_SSH", QStringLiteral("ssh")).toStdString();
    if (settings.SshCommand.empty())
        settings.SshCommand = "ssh";
    bool isNumber = false;
    const qulonglong maxEntries =
        qEnvironmentVariable(kRemoteMaxEntriesVariable).toULongLong(&isNumber);
    if (isNumber && maxEntries > 0)
        settings.MaxEntries = maxEntries;
    // The copy for "Save scan as..." goes to the user's cache folder: /tmp is
    // often held in memory, and a copy that cannot be kept must not cost
    // the scan.
    std::string keepProblem;
    std::unique_ptr<QTemporaryFile> received = MakeReceivedCopy(keepProblem);
    if (received)
        settings.KeepFile = QFile::encodeName(received->fileName()).toStdString();
    TImportedScan scan;
    std::string why;
    std::atomic<bool> cancel{false};
    TRemoteProgress progress;
    const QString name = VisibleControls(QString::fromStdString(request.Host));
    TProgressBox box = ReadingBox(QStringLiteral("Open remote scan"),
                                  QStringLiteral("Connecting to %1\u2026").arg(name));
    box.Status = [&] { return RemoteStatus(name, progress); };
    bool read = false;
    RunBehindProgress(owner, box, cancel, [&] {
        std::string copyProblem;
        read = WithinMemory(RemoteScanName(request), why, [&] {
            return ReadRemoteScan(request, settings, letter, scan, why, &cancel, &progress,
                                  &copyProblem);
        });
        if (!copyProblem.empty())
            keepProblem = copyProblem;
    });
    if (!read) {
        // The message's paragraphs stay; a line break in a name shows as one.
        QStringList parts =
            QFile::decodeName(QByteArray::fromStdString(why)).split(QStringLiteral("\n\n"));
        for (QString& part : parts)
            part = VisibleControls(part);
        error = cancel ? QString() : parts.join(QStringLiteral("\n\n"));
        return false;
    }
    if (!keepProblem.empty())
        received.reset();  // removes what was kept of it
    else if (received)
        received->close();
    Install(std::move(scan), letter, name, std::move(received));
    remote_ = true;
    keepProblem_ = QFile::decodeName(QByteArray::fromStdString(keepProblem));
    return true;
}

std::unique_ptr<QTemporaryFile> TOpenedScan::MakeReceivedCopy(std::string& problem) {
    const std::string folder = CacheFolder(&problem);
    if (folder.empty())
        return nullptr;
    auto received = std::make_unique<QTemporaryFile>(
        QFile::decodeName(QByteArray::fromStdString(folder)) + QStringLiteral("remote-XXXXXX"));
    if (!received->open()) {
        problem = QFile::encodeName(received->fileTemplate()).toStdString() + ": " +
                  received->errorString().toStdString();
        return nullptr;
    }
    return received;
}

bool TOpenedScan::SaveAs(const QString& file, QString& error) const {
    if (!CanSave())
        return false;
    if (!received_) {
        error = QStringLiteral(
                    "The scan as it arrived could not be kept, so it cannot be saved "
                    "(%1). Run the scan again to save it.")
                    .arg(keepProblem_);
        return false;
    }
    // Written beside the chosen file and renamed over it at the end, so a
    // copy that fails leaves the file that was there.
    QFile in(received_->fileName());
    QSaveFile out(file);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("%1: cannot write the file (%2)")
                    .arg(file, in.isOpen() ? out.errorString() : in.errorString());
        return false;
    }
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError || !out.commit()) {
        error = QStringLiteral("%1: cannot write the file (%2)").arg(file, out.errorString());
        return false;
    }
    return true;
}

QString TOpenedScan::AskForSaveFile(QWidget* owner) const {
    QByteArray head;
    QFile in(received_ ? received_->fileName() : QString());
    if (in.open(QIODevice::ReadOnly))
        head = in.read(4);
    // Compressed exports keep their ".zst", so that ncdu and gdu users know.
    const bool zstd = head.startsWith("\x28\xB5\x2F\xFD");
    const QString suggested = QStringLiteral("%1.json%2").arg(fileName_, zstd ? ".zst" : "");
    return QFileDialog::getSaveFileName(owner, QStringLiteral("Save scan as"), suggested,
                                        QStringLiteral("Scan files (*.json *.zst);;All files (*)"));
}

void TOpenedScan::Close() {
    scope_.reset();
    received_.reset();
    remote_ = false;
    keepProblem_.clear();
    scan_ = TImportedScan{};
}

std::string TOpenedScan::Root() const {
    return std::string(1, letter_) + ":\\";
}

void TOpenedScan::FillStore(TResultStore& store, TTreeLists& tree, std::function<void()> shown) {
    store.SetFiles("");
    TStoredSet set{std::move(scan_.Result.Dirs), std::move(scan_.Result.DirSizes),
                   std::move(scan_.Result.Percents), std::move(scan_.Result.Extras)};
    // Behind a save of the lists shown before, the replacement waits for its
    // end; the tree and the caller follow once it is made.
    store.ReplaceGlobal(std::move(set), [&store, &tree, shown = std::move(shown)] {
        store.LoadTree(tree);
        if (shown)
            shown();
    });
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

void TOpenedScan::TellError(QWidget* owner, const QString& error, const QString& title) {
    if (error.isEmpty())
        return;
    QMessageBox box(QMessageBox::Warning, title, error, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
