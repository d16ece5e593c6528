#include "app/shell/PasteRunner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <new>

#include "app/wait/WorkBehindProgress.h"

using namespace cq::desktop;

namespace {

constexpr int kRefreshMs = 100;

QString CopiedText(std::int64_t bytes) {
    return QStringLiteral("Copying\u2026 %1 copied")
        .arg(QLocale::system().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat));
}

}  // namespace

TActionResult RunWithProgress(QWidget* owner,
                              const std::function<TActionResult(TCopyProgress&)>& work) {
    TCopyProgress progress;
    TActionResult result;
    TProgressBox box;
    box.Title = QStringLiteral("Paste");
    box.Label = CopiedText(0);
    box.ShowAfterMs = kPasteProgressDelayMs;
    box.RefreshMs = kRefreshMs;
    box.Status = [&progress] { return CopiedText(progress.bytes.load()); };
    // Nothing may change the folders under the copy.
    box.OnlyBoxTakesInput = true;
    RunBehindProgress(owner, box, progress.cancel, [&] { result = work(progress); });
    return result;
}

TFollowedAction RunPaste(QWidget* owner, const TClipboardItems& items,
                         const std::string& folderNativePath) {
    TFollowedAction done;
    // Memory running out on the worker is told as the paste's failure;
    // what it did before is then not known, and a rescan brings it in.
    try {
        RunWithProgress(owner, [&](TCopyProgress& progress) {
            done = PasteFollowed(items, folderNativePath, &progress);
            return done.Result;
        });
    } catch (const std::bad_alloc&) {
        done = {
            TActionResult::Failed(QStringLiteral("The paste stopped: there is not enough memory.")),
            TFollowPlan()};
    }
    if (done.Result.ok && items.cut)
        QGuiApplication::clipboard()->clear();
    return done;
}
