#pragma once
// Where a symbolic link to a folder leads, for entering it. The link is
// followed to its end, a relative target counting from the folder that
// holds the link (never from the program's working directory), and the
// folder reached is given in the drive form when it lies on a drive.
#include <string>

struct TFolderLink {
    enum class TPlace {
        NoLink,   // not a link to an existing folder (or a path on no drive)
        OnDrive,  // the link leads to a folder of a drive: Target
        OffDrive  // the link leads to a folder that lies on no drive
    };
    TPlace Place = TPlace::NoLink;
    std::string Target;  // drive form ("C:\usr\bin", "D:" for a root) when OnDrive
};

// Looks at one drive-form path of the current drive table.
TFolderLink ResolveFolderLink(const std::string& driveForm);
