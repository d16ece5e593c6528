#include "engine/DuplicateReclaim.h"

#include <memory>
#include <new>

#include "engine/DuplicateHasher.h"
#include "platform/FileContent.h"
#include "platform/FileReplace.h"

namespace {

bool StillHashed(const TFileIdentity& now, const TDuplicateCopy& copy, std::int64_t size) {
    return now.Device == copy.Device && now.Inode == copy.Inode && now.Size == size &&
           now.WriteNanos == copy.WriteNanos;
}

// Opens the first name of copy that is still the hashed file.
std::unique_ptr<TFileContent> OpenHashed(const TDuplicateCopy& copy, std::int64_t size,
                                         std::string& name) {
    for (const std::string& n : copy.Names) {
        auto file = std::make_unique<TFileContent>(n);
        if (file->IsOpen() && StillHashed(file->Identity(), copy, size)) {
            name = n;
            return file;
        }
    }
    return nullptr;
}

}  // namespace

std::string TDuplicateReclaim::Refusal(const TReclaimStep& step, std::string& keptName,
                                       const std::atomic<bool>* cancel,
                                       std::atomic<std::uint64_t>* compared) const {
    if (action_ == TReclaimAction::kHardLink && step.Kept.Device != step.Target.Device)
        return "on another file system than the kept copy";
    if (action_ == TReclaimAction::kClone && step.SharesWithKept)
        return "already shares its data with the kept copy";
    if (action_ == TReclaimAction::kHardLink && step.Kept.Inode == step.Target.Inode)
        return "already the kept file";
    std::string targetName;
    auto kept = OpenHashed(step.Kept, step.Size, keptName);
    auto target = OpenHashed(step.Target, step.Size, targetName);
    if (!kept)
        return "the kept copy changed since the search";
    if (!target)
        return "changed since the search";
    if (!SameBytes(*kept, *target, cancel, compared))
        return "no longer holds the same bytes as the kept copy";
    TFileIdentity a, b;
    if (!kept->IdentityNow(a) || !StillHashed(a, step.Kept, step.Size) || !target->IdentityNow(b) ||
        !StillHashed(b, step.Target, step.Size))
        return "changed while it was compared";
    return {};
}

void TDuplicateReclaim::Apply(const TReclaimStep& step, const std::string& keptName,
                              TReclaimReport& report) const {
    bool all = true;
    for (const std::string& name : step.Target.Names) {
        // Each name is checked once more right before it is replaced: a name
        // moved or rewritten meanwhile is left alone.
        TFileIdentity now;
        if (!IdentityOfPath(name, now) || !StillHashed(now, step.Target, step.Size)) {
            report.Left.emplace_back(name, "changed since the search");
            all = false;
            continue;
        }
        std::string error;
        bool ok = false;
        TFileIdentity made;
        if (action_ == TReclaimAction::kTrash) {
            ok = trash_ && trash_(name, error);
        } else {
            const TReplaceOutcome out = action_ == TReclaimAction::kHardLink
                                            ? ReplaceByHardLink(keptName, name)
                                            : ReplaceByClone(keptName, name);
            ok = out.Ok;
            error = out.Error;
            made = out.Made;
        }
        if (ok && action_ == TReclaimAction::kClone)
            report.Clones[name] = made;
        if (ok)
            report.Changed.push_back(name);
        else
            report.Left.emplace_back(name, error.empty() ? "cannot be moved" : error);
        all = all && ok;
    }
    if (all && action_ != TReclaimAction::kTrash)
        report.Freed += step.Size;
}

TReclaimReport TDuplicateReclaim::Run(const std::vector<TReclaimStep>& steps,
                                      const std::atomic<bool>* cancel,
                                      TDuplicateReclaimProgress* progress) const {
    TDuplicateReclaimProgress own;
    TDuplicateReclaimProgress& p = progress ? *progress : own;
    std::uint64_t all = 0;
    for (const TReclaimStep& step : steps)
        all += std::uint64_t(step.Size);
    p.CopiesAll = steps.size();
    p.BytesAll = all;
    p.CopiesDone = 0;
    p.BytesDone = 0;
    TReclaimReport report;
    // Room for every name changed, so that recording a change already made
    // never needs memory that may have run out.
    std::size_t names = 0;
    for (const TReclaimStep& step : steps)
        names += step.Target.Names.size();
    report.Changed.reserve(names);
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const TReclaimStep& step = steps[i];
        std::string keptName;
        const bool cancelled = cancel && cancel->load();
        try {
            const std::string why =
                cancelled ? std::string() : Refusal(step, keptName, cancel, &p.BytesDone);
            // A comparison the cancel cut short says nothing of the copy: it
            // is told as not reached, as are the ones after it.
            if (cancelled || (!why.empty() && cancel && cancel->load())) {
                report.NotReached = steps.size() - i;
                break;
            }
            if (why.empty()) {
                Apply(step, keptName, report);
            } else {
                for (const std::string& name : step.Target.Names)
                    report.Left.emplace_back(name, why);
            }
        } catch (const std::bad_alloc&) {
            // What was done stays told, so that the numbers follow it; the
            // copy at hand and those after it are not reached.
            report.Failure = "there is not enough memory";
            report.NotReached = steps.size() - i;
            break;
        }
        done += std::uint64_t(step.Size);
        p.BytesDone = done;
        ++p.CopiesDone;
    }
    return report;
}
