#include "app/PanelLabel.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace rix {

PanelLabel::PanelLabel(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setIndent(4);
}

bool PanelLabel::event(QEvent* event) {
  // A message cut at the panel's edge (a long path, the first-emulator hint)
  // can still be read whole by pointing at it.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    if (sizeHint().width() > width())
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    else
      QToolTip::hideText();
    return true;
  }
  return QLabel::event(event);
}

void PanelLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  QLabel::mouseDoubleClickEvent(event);
  if (onDoubleClick) onDoubleClick();
}

}  // namespace rix
