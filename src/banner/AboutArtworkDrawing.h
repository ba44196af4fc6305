#pragma once

#include <QImage>

namespace rix {

// Draws the about window's picture: 300 x 200 in the sixteen colours of the
// classic PC palette, a night scene with the program's name, a joystick and a
// receding grid. The program shows the stored bitmap that
// about_artwork_gen writes from this; the drawing is its source.
QImage DrawAboutArtwork();

}  // namespace rix
