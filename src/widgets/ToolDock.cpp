#include "widgets/ToolDock.h"

namespace rix {

ToolDock::ToolDock(const QString& name, QMainWindow* window, Qt::ToolBarArea area, QObject* owner)
    : QObject(owner), window_(window), area_(area) {
  setObjectName(name);
}

}  // namespace rix
