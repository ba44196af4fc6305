#pragma once

#include <vector>

class QFont;
class QPaintDevice;

namespace rix {

class GridData;

// The width of the widest text of every column of a grid (header row
// included), in pixels of `device` (the screen when null), as the font
// draws it. The font must have kerning off: a text's width is then the sum
// of its characters' advances, so only the texts that come within reach of
// the widest sum need to be measured by the font itself.
std::vector<int> WidestColumnTexts(const GridData& grid, const QFont& font,
                                   const QPaintDevice* device = nullptr);

}  // namespace rix
