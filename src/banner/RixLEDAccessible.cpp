#include "banner/RixLEDAccessible.h"

#include "banner/TRixLED.h"

RixLEDAccessible::RixLEDAccessible(QWidget* banner)
    : QAccessibleWidget(banner, QAccessible::Animation) {}

QString RixLEDAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
    return static_cast<TRixLED*>(widget())->Text();
  return QAccessibleWidget::text(t);
}

QStringList RixLEDAccessible::actionNames() const {
  return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void RixLEDAccessible::doAction(const QString& actionName) {
  if (actionName == pressAction())
    emit static_cast<TRixLED*>(widget())->clicked();
  else
    QAccessibleWidget::doAction(actionName);
}

QAccessibleInterface* RixLEDAccessible::Create(const QString& className, QObject* object) {
  if (className == QLatin1String("TRixLED") && object && object->isWidgetType())
    return new RixLEDAccessible(static_cast<QWidget*>(object));
  return nullptr;
}
