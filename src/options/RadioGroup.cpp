#include "options/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rix {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    group_->addButton(button, i);
    buttons_.append(button);
    layout->addWidget(button);
  }
  layout->addStretch(1);
  // Clicks only, the chosen item's included: a click on it counts as a choice.
  connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index) {
  if (QRadioButton* chosen = button(index)) {
    chosen->setChecked(true);
  } else if (QAbstractButton* current = group_->checkedButton()) {
    // An exclusive group refuses to uncheck its last button.
    group_->setExclusive(false);
    current->setChecked(false);
    group_->setExclusive(true);
  }
}

}  // namespace rix
