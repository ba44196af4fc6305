#pragma once

#include <QAccessibleWidget>

// How screen readers see the banner: a moving picture whose description is
// its text, with a press action that does what a click does.
class RixLEDAccessible : public QAccessibleWidget {
public:
  explicit RixLEDAccessible(QWidget* banner);

  QString text(QAccessible::Text t) const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

  // For QAccessible::installFactory; installed by the banner itself.
  static QAccessibleInterface* Create(const QString& className, QObject* object);
};
