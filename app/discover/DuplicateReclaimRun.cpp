#include "app/discover/DuplicateReclaimRun.h"

#include <QString>
#include <string>

#include "app/wait/WorkBehindProgress.h"
#include "views/common/NumberText.h"

namespace {

QString ReclaimMB(std::uint64_t bytes) {
    return QString::fromStdString(FormatMB(std::to_string(bytes)));
}

// The bytes compared where the reclaim compares any (hard links and
// clones); the copies done where it only moves them to the Trash.
int ReclaimPermille(const TDuplicateReclaimProgress& progress) {
    const std::uint64_t bytesAll = progress.BytesAll.load();
    const std::uint64_t copiesAll = progress.CopiesAll.load();
    if (bytesAll > 0)
        return static_cast<int>(progress.BytesDone.load() * 1000 / bytesAll);
    return copiesAll > 0 ? static_cast<int>(progress.CopiesDone.load() * 1000 / copiesAll) : 0;
}

}  // namespace

QString ReclaimProgressText(const TDuplicateReclaimProgress& progress) {
    return QStringLiteral("Reclaiming duplicates: %1 of %2 copies, %3 of %4 MB compared")
        .arg(progress.CopiesDone.load())
        .arg(progress.CopiesAll.load())
        .arg(ReclaimMB(progress.BytesDone.load()), ReclaimMB(progress.BytesAll.load()));
}

TReclaimReport RunReclaimBehindProgress(QWidget* owner, const TDuplicateReclaim& reclaim,
                                        const std::vector<TReclaimStep>& steps) {
    TDuplicateReclaimProgress progress;
    std::atomic<bool> cancel{false};
    TReclaimReport report;
    TProgressBox box;
    box.Title = QStringLiteral("Reclaim duplicates");
    box.Label = ReclaimProgressText(progress);
    box.ObjectName = QStringLiteral("DuplicateReclaimProgress");
    box.Status = [&progress] { return ReclaimProgressText(progress); };
    box.Permille = [&progress] { return ReclaimPermille(progress); };
    // Nothing may change the files, or start another reclaim, under it.
    box.OnlyBoxTakesInput = true;
    RunBehindProgress(owner, box, cancel, [&] { report = reclaim.Run(steps, &cancel, &progress); });
    return report;
}
