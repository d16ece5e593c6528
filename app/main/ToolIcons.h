#pragma once

#include <QIcon>

// The images of the tool bar and the pie's buttons, drawn in code so they
// stay sharp at any device pixel ratio.
enum class TToolIcon {
    FolderUp,
    DiskAnalize,
    FolderAnalize,
    Pie,
    Bar,
    Tree,
    Exit,
    ZoomIn,
    ZoomOut,
    NewColors,
    Save
};

QIcon ToolIcon(TToolIcon kind);
