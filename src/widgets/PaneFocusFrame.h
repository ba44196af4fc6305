#pragma once

#include <QFocusFrame>

namespace rix {

// The frame around the pane that has the keyboard (table, tree, game list,
// documentation). It lies on the window itself, above the panes: a pane fills
// its area to the edge, where a frame beside it would be cut away. Drawn in
// the highlight colour, two pixels wide, whatever the style does with focus.
class PaneFocusFrame : public QFocusFrame {
public:
  explicit PaneFocusFrame(QWidget* parent = nullptr);
};

}  // namespace rix
