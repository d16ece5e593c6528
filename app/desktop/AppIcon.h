#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, drawn in code so that every size is sharp: a shaded
// pie of three slices over two gradient bars.
QImage AppIconImage(int size);
QIcon AppIcon();
