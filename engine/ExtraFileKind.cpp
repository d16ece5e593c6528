#include "engine/ExtraFileKind.h"

#include "engine/DiskSizeList.h"

const std::vector<TExtraFileKind>& ExtraFileKinds() {
    static const std::vector<TExtraFileKind> kinds = {DiskSizeKind()};
    return kinds;
}

const TExtraFileKind* FindExtraFileKind(std::string_view role) {
    for (const TExtraFileKind& kind : ExtraFileKinds())
        if (kind.Role == role)
            return &kind;
    return nullptr;
}

bool IsExtraRoleName(std::string_view role) {
    if (role.empty())
        return false;
    for (char c : role)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}
