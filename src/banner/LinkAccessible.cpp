#include "banner/LinkAccessible.h"

#include "banner/TASLink.h"

namespace {

TASLink* LinkOf(QWidget* w) { return static_cast<TASLink*>(w); }

bool Opens(TASLink* link) { return link->URLEnabled() && !link->text().isEmpty(); }

}  // namespace

LinkAccessible::LinkAccessible(QWidget* link) : QAccessibleWidget(link, QAccessible::Link) {}

QString LinkAccessible::text(QAccessible::Text t) const {
  TASLink* link = LinkOf(widget());
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return link->text();
  if (t == QAccessible::Value && Opens(link)) return link->Address();
  return QAccessibleWidget::text(t);
}

QAccessible::State LinkAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.linked = Opens(LinkOf(widget()));
  return s;
}

QStringList LinkAccessible::actionNames() const {
  if (!Opens(LinkOf(widget()))) return QAccessibleWidget::actionNames();
  return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void LinkAccessible::doAction(const QString& actionName) {
  if (actionName == pressAction())
    LinkOf(widget())->LinkClick();
  else
    QAccessibleWidget::doAction(actionName);
}

QAccessibleInterface* LinkAccessible::Create(const QString& className, QObject* object) {
  if (className == QLatin1String("TASLink") && object && object->isWidgetType())
    return new LinkAccessible(static_cast<QWidget*>(object));
  return nullptr;
}
