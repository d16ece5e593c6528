#include "app/shell/ManyFollowed.h"

#include <QStringList>

TFollowedAction TrashManyFollowed(const std::vector<std::string>& nativePaths) {
    TFollowedAction all;
    QStringList failures;
    for (const std::string& path : nativePaths) {
        const TFollowedAction one = TrashFollowed(path);
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
