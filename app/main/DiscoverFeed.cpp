#include "app/main/DiscoverFeed.h"

#include <QComboBox>

#include "app/changes/ChangeView.h"
#include "app/discover/DiscoverPanel.h"
#include "app/main/OpenedScan.h"
#include "engine/DiscoverKind.h"
#include "engine/ResultStore.h"

TDiscoverFeed::TDiscoverFeed(TDiscoverPanel& panel, const TResultStore& store,
                             const TChangeView& changes)
    : panel_(panel), store_(store), changes_(changes) {}

void TDiscoverFeed::ShowData(const TOpenedScan* opened) {
    if (opened) {
        panel_.SetData(std::make_shared<const TDiscoverData>(opened->Result().Discover));
        return;
    }
    const auto lines = store_.GlobalExtras().find(kDiscoverRole);
    TDiscoverData data;
    std::string error;
    if (lines != store_.GlobalExtras().end() &&
        TDiscoverData::FromLines(lines->second, data, error)) {
        panel_.SetData(std::make_shared<const TDiscoverData>(std::move(data)));
        return;
    }
    const bool stored = store_.GlobalDirs().size() > 1 ||
                        (store_.GlobalDirs().size() == 1 && store_.GlobalDirs()[0] != " ");
    panel_.SetData(nullptr, stored ? "The largest files and file types of these results are "
                                     "not known: analize the drive again to see them."
                                   : QString());
}

void TDiscoverFeed::ShowKept(bool opened) {
    const TExtraLists* kept = changes_.On() && !opened ? changes_.KeptExtras() : nullptr;
    // Each comparison is made anew (another kept set, new results): its
    // object tells one from the next.
    const void* comparison = kept ? changes_.Changes() : nullptr;
    if (comparison == kept_)
        return;
    kept_ = comparison;
    if (!kept) {
        panel_.SetKeptTypes(nullptr);
        return;
    }
    // Results kept without types (by an earlier version) count every type as new.
    auto types = std::make_shared<TFileTypes>();
    const auto lines = kept->find(kDiscoverRole);
    TDiscoverData data;
    std::string error;
    if (lines != kept->end() && TDiscoverData::FromLines(lines->second, data, error))
        *types = std::move(data.Types);
    // The chooser says "Since <date>"; the panel says "Change since <date>".
    QString since = changes_.cbSince()->currentText();
    if (since.startsWith("Since "))
        since.remove(0, 6);
    panel_.SetKeptTypes(types, since);
}
