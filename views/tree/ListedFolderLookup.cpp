#include "views/tree/ListedFolderLookup.h"

#include "platform/DriveLetter.h"
#include "views/common/ListLookup.h"

namespace {

bool IsDriveRoot(std::string_view path) {
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

// The earlier of two positions, -1 meaning none.
int First(int a, int b) {
    if (a < 0) {
        return b;
    }
    if (b < 0) {
        return a;
    }
    return a < b ? a : b;
}

// Both spellings of the drive letter: entries with an upper-case letter sort
// before those with a lower-case one, so the earlier hit is the first match.
int FindEitherLetter(const TStringList& dirs, std::string path) {
    int found = FindStrINSL(dirs, path);
    if (!path.empty() && OtherLetterCase(path[0]) != path[0]) {
        path[0] = OtherLetterCase(path[0]);
        found = First(found, FindStrINSL(dirs, path));
    }
    return found;
}

}  // namespace

char OtherLetterCase(char letter) {
    if (UpperDriveLetter(letter) != letter) {
        return UpperDriveLetter(letter);
    }
    if (letter >= 'A' && letter <= 'Z') {
        return static_cast<char>(letter - 'A' + 'a');
    }
    return letter;
}

std::string ListedToStoredPath(std::string_view listedPath) {
    if (IsDriveRoot(listedPath)) {
        return std::string(listedPath.substr(0, 2));
    }
    return std::string(listedPath);
}

int FindListedFolder(const TStringList& dirs, std::string_view listedPath) {
    if (listedPath.empty()) {
        return -1;
    }
    int found = FindEitherLetter(dirs, ListedToStoredPath(listedPath));
    if (IsDriveRoot(listedPath)) {
        // A root written with its backslash matches as well.
        found = First(found, FindEitherLetter(dirs, std::string(listedPath)));
    }
    return found;
}
