#include "options/OptionsPage.h"

namespace rix {

OptionsPage::OptionsPage(QStringView name, QWidget* parent) : QWidget(parent) {
  setObjectName(name.toString());
}

void OptionsPage::showCommand(const QString&) {}

}  // namespace rix
