#include "options/CommonPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <limits>

namespace rix {

namespace {
constexpr int kLeft = 8;
constexpr int kRightMargin = 25;
}  // namespace

CommonPage::CommonPage(QWidget* parent)
    : OptionsPage(kName, parent),
      Label1(new QLabel(QStringLiteral("加在 ROM 前的指令:"), this)),
      CommandEdit1(new QLineEdit(this)),
      Label6(new QLabel(QStringLiteral("加在 ROM 後的指令:"), this)),
      CommandEdit2(new QLineEdit(this)),
      SaveCommandBtn(new QPushButton(QStringLiteral("參數存檔"), this)) {
  Label1->setObjectName(QStringLiteral("Label1"));
  CommandEdit1->setObjectName(QStringLiteral("CommandEdit1"));
  Label6->setObjectName(QStringLiteral("Label6"));
  CommandEdit2->setObjectName(QStringLiteral("CommandEdit2"));
  SaveCommandBtn->setObjectName(QStringLiteral("SaveCommandBtn"));
  Label1->setBuddy(CommandEdit1);
  Label6->setBuddy(CommandEdit2);
  // A line edit cuts its text at 32,767 characters unless told otherwise; a
  // command from the table must reach the launch and the save whole.
  CommandEdit1->setMaxLength(std::numeric_limits<int>::max());
  CommandEdit2->setMaxLength(std::numeric_limits<int>::max());
  connect(SaveCommandBtn, &QPushButton::clicked, this, &OptionsPage::saveRequested);

  int y = kLeft;
  const QList<QWidget*> column{Label1, CommandEdit1, Label6, CommandEdit2, SaveCommandBtn};
  for (QWidget* w : column) {
    const QSize hint = w->sizeHint();
    w->setGeometry(kLeft, y, std::max(hint.width(), 80), hint.height());
    // A label sits close above its edit; each pair and the button keep a gap.
    y += hint.height() + (qobject_cast<QLabel*>(w) ? 2 : 10);
  }
  fitCommandEdits(kLeft + 200 + kRightMargin);
}

void CommonPage::fitCommandEdits(int romPageWidth) {
  const int width = std::max(0, romPageWidth - kRightMargin);
  CommandEdit1->resize(width, CommandEdit1->height());
  CommandEdit2->resize(CommandEdit1->width(), CommandEdit2->height());
}

}  // namespace rix
