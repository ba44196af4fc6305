#pragma once

#include <QObject>
#include <Qt>

class QMainWindow;

namespace rix {

// A named place where toolbars dock: one toolbar area of a main window. The
// window that owns the docks lists them so that a toolbar's place can be
// remembered by name and found again.
class ToolDock : public QObject {
  Q_OBJECT

public:
  ToolDock(const QString& name, QMainWindow* window, Qt::ToolBarArea area, QObject* owner);

  QMainWindow* window() const { return window_; }
  Qt::ToolBarArea area() const { return area_; }
  // Toolbars may be dragged into the dock and out of it.
  bool allowDrag = true;

private:
  QMainWindow* window_;
  Qt::ToolBarArea area_;
};

}  // namespace rix
