#pragma once

#include <QPixmap>

namespace rix {

inline constexpr int kPadPictureWidth = 109;
inline constexpr int kPadPictureHeight = 46;

// A small drawing of a game pad (cross on the left, four face buttons on the
// right, select and start between them) for the key-map page.
QPixmap PadPicture();

}  // namespace rix
