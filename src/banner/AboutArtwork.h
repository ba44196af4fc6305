#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace rix {

// The sixteen colours of the classic PC palette, in their usual order.
const QList<QRgb>& SixteenColours();

// The about window's 300 x 200 picture in the sixteen colours above: a night
// scene with the program's name, a joystick and a receding grid.
QImage AboutArtwork();

}  // namespace rix
