#include "app/PanelLabel.h"

#include <QMouseEvent>

namespace rix {

PanelLabel::PanelLabel(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setIndent(4);
}

void PanelLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  QLabel::mouseDoubleClickEvent(event);
  if (onDoubleClick) onDoubleClick();
}

}  // namespace rix
