#include "engine/ExtraFileKinds.h"

#include "engine/DiscoverKind.h"
#include "engine/DiskSizeList.h"
#include "engine/DuplicateKind.h"
#include "engine/ExcludeKind.h"
#include "engine/FanOutSink.h"

const std::vector<TExtraFileKind>& ExtraFileKinds() {
    static const std::vector<TExtraFileKind> kinds = {DiskSizeKind(), DiscoverKind(),
                                                      DuplicateKind(), ExcludeKind()};
    return kinds;
}

const TExtraFileKind* FindExtraFileKind(std::string_view role) {
    for (const TExtraFileKind& kind : ExtraFileKinds())
        if (kind.Role == role)
            return &kind;
    return nullptr;
}

TFileSinkMaker ExtraKindSinks() {
    std::vector<TFileSinkMaker> makers;
    for (const TExtraFileKind& kind : ExtraFileKinds())
        if (kind.MakeSink)
            makers.push_back(kind.MakeSink);
    return TFanOutSink::Over(std::move(makers));
}

bool IsExtraRoleName(std::string_view role) {
    if (role.empty())
        return false;
    for (char c : role)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}
