#include "app/shell/ManyFollowed.h"

#include <QStringList>

TFollowedAction JoinFollowed(const std::vector<TFollowedAction>& actions) {
    TFollowedAction all;
    QStringList failures;
    for (const TFollowedAction& one : actions) {
        // Steps share their lists' texts: copying them costs little.
        for (const TFollowStep& step : one.Plan.Steps())
            all.Plan.Add(step);
        if (!one.Result.ok)
            failures << one.Result.error;
    }
    if (!failures.isEmpty())
        all.Result = cq::desktop::TActionResult::Failed(failures.join('\n'));
    return all;
}

TFollowedAction TrashManyFollowed(const std::vector<std::string>& nativePaths) {
    std::vector<TFollowedAction> each;
    each.reserve(nativePaths.size());
    for (const std::string& path : nativePaths)
        each.push_back(TrashFollowed(path));
    return JoinFollowed(each);
}
