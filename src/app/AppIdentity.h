#pragma once

#include <QIcon>
#include <QString>

namespace rix {

// The name the desktop knows the program by: its menu entry, icon and
// metainfo files are named after it.
QString AppId();

// The program's icon, the same pictures as the installed icon theme files.
QIcon AppIcon();

}  // namespace rix
