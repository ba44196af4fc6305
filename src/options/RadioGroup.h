#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace rix {

// A framed column of exclusive radio buttons chosen by index; -1 while none
// is chosen (the state it starts in).
class RadioGroup : public QGroupBox {
  Q_OBJECT
public:
  RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

  int itemIndex() const;
  // -1 clears the choice. Emits nothing: only the user's choice is reported.
  void setItemIndex(int index);
  QRadioButton* button(int index) const { return buttons_.value(index); }
  int count() const { return int(buttons_.size()); }

signals:
  // The user clicked an item (by mouse or keyboard), the chosen one included.
  void itemClicked(int index);

private:
  QButtonGroup* group_;
  QList<QRadioButton*> buttons_;
};

}  // namespace rix
