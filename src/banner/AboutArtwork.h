#pragma once

#include <QImage>

namespace rix {

// The about window's 300 x 200 picture in the sixteen colours of the classic
// PC palette: a night scene with the program's name, a joystick and a
// receding grid. It is a stored bitmap, so that the splash costs a start no
// drawing.
QImage AboutArtwork();

}  // namespace rix
