#include "widgets/MenuShortcuts.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace rix {

namespace {

void CollectItems(QMenu* menu, QList<QAction*>& out) {
  for (QAction* a : menu->actions()) {
    if (a->menu())
      CollectItems(a->menu(), out);
    else if (!a->isSeparator())
      out.append(a);
  }
}

}  // namespace

void AttachMenuShortcuts(QWidget* widget, QMenu* menu) {
  QList<QAction*> items;
  CollectItems(menu, items);
  for (QAction* a : items) a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  widget->addActions(items);
}

void DetachMenuShortcuts(QWidget* widget, QMenu* menu) {
  QList<QAction*> items;
  CollectItems(menu, items);
  for (QAction* a : items) widget->removeAction(a);
}

}  // namespace rix
