#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace rix {

// Pictures the program draws itself.
namespace Glyphs {

// A toolbar glyph: the desktop theme's icon of that name when there is one,
// else the program's own drawing (kinds listed in Glyphs.cpp).
QIcon Toolbar(const QString& kind);

// The game list's two 16 x 16 markers: a dim green lamp in a grey ring (file
// missing) and the same lamp lit bright green (file present).
QPixmap LampOff();
QPixmap LampOn();

}  // namespace Glyphs

}  // namespace rix
