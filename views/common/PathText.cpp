#include "views/common/PathText.h"

std::string RemoveParentDir(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    return name;
}
