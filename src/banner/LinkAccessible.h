#pragma once

#include <QAccessibleWidget>

// How screen readers see the web link: a link named by its caption, whose
// press action opens the address while the link is enabled.
class LinkAccessible : public QAccessibleWidget {
public:
  explicit LinkAccessible(QWidget* link);

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

  // For QAccessible::installFactory; installed by the link itself.
  static QAccessibleInterface* Create(const QString& className, QObject* object);
};
