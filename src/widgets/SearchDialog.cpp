#include "widgets/SearchDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rix {

SearchDialog::SearchDialog(Kind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
  const bool replacing = kind == Kind::Replace;
  setObjectName(replacing ? QStringLiteral("ReplaceDialog1") : QStringLiteral("FindDialog1"));
  setWindowTitle(replacing ? QStringLiteral("取代") : QStringLiteral("尋找"));
  setModal(false);

  auto* fields = new QGridLayout;
  FindEdit = new QLineEdit(this);
  FindEdit->setObjectName(QStringLiteral("FindEdit"));
  auto* findLabel = new QLabel(QStringLiteral("尋找目標(&N):"), this);
  findLabel->setBuddy(FindEdit);
  fields->addWidget(findLabel, 0, 0);
  fields->addWidget(FindEdit, 0, 1);
  if (replacing) {
    ReplaceEdit = new QLineEdit(this);
    ReplaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
    auto* replaceLabel = new QLabel(QStringLiteral("取代為(&P):"), this);
    replaceLabel->setBuddy(ReplaceEdit);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(ReplaceEdit, 1, 1);
  }

  WholeWordChk = new QCheckBox(QStringLiteral("全字拼寫須相符(&W)"), this);
  WholeWordChk->setObjectName(QStringLiteral("WholeWordChk"));
  MatchCaseChk = new QCheckBox(QStringLiteral("大小寫須相符(&C)"), this);
  MatchCaseChk->setObjectName(QStringLiteral("MatchCaseChk"));
  MatchCaseChk->setChecked(true);
  auto* options = new QHBoxLayout;
  auto* boxes = new QVBoxLayout;
  boxes->addWidget(WholeWordChk);
  boxes->addWidget(MatchCaseChk);
  options->addLayout(boxes);
  UpRadio = new QRadioButton(QStringLiteral("向上(&U)"), this);
  UpRadio->setObjectName(QStringLiteral("UpRadio"));
  DownRadio = new QRadioButton(QStringLiteral("向下(&D)"), this);
  DownRadio->setObjectName(QStringLiteral("DownRadio"));
  DownRadio->setChecked(true);
  if (!replacing) {
    auto* direction = new QGroupBox(QStringLiteral("方向"), this);
    auto* d = new QHBoxLayout(direction);
    d->addWidget(UpRadio);
    d->addWidget(DownRadio);
    options->addWidget(direction);
  } else {
    // The replace dialog always searches down.
    UpRadio->hide();
    DownRadio->hide();
  }

  auto* left = new QVBoxLayout;
  left->addLayout(fields);
  left->addLayout(options);
  left->addStretch(1);

  auto* buttons = new QVBoxLayout;
  FindNextBtn = new QPushButton(QStringLiteral("找下一個(&F)"), this);
  FindNextBtn->setObjectName(QStringLiteral("FindNextBtn"));
  FindNextBtn->setDefault(true);
  buttons->addWidget(FindNextBtn);
  connect(FindNextBtn, &QPushButton::clicked, this, &SearchDialog::find);
  if (replacing) {
    ReplaceBtn = new QPushButton(QStringLiteral("取代(&R)"), this);
    ReplaceBtn->setObjectName(QStringLiteral("ReplaceBtn"));
    ReplaceAllBtn = new QPushButton(QStringLiteral("全部取代(&A)"), this);
    ReplaceAllBtn->setObjectName(QStringLiteral("ReplaceAllBtn"));
    buttons->addWidget(ReplaceBtn);
    buttons->addWidget(ReplaceAllBtn);
    connect(ReplaceBtn, &QPushButton::clicked, this, [this] { emit replace(false); });
    connect(ReplaceAllBtn, &QPushButton::clicked, this, [this] { emit replace(true); });
  }
  CancelBtn = new QPushButton(QStringLiteral("取消"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(CancelBtn);
  buttons->addStretch(1);

  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 1);
  top->addLayout(buttons);

  // Nothing to search for: the buttons that search wait for a text.
  auto follow = [this] {
    const bool any = !FindEdit->text().isEmpty();
    for (QPushButton* b : {FindNextBtn, ReplaceBtn, ReplaceAllBtn})
      if (b) b->setEnabled(any);
  };
  connect(FindEdit, &QLineEdit::textChanged, this, follow);
  follow();
}

QString SearchDialog::findText() const { return FindEdit->text(); }

void SearchDialog::setFindText(const QString& text) { FindEdit->setText(text); }

QString SearchDialog::replaceText() const { return ReplaceEdit ? ReplaceEdit->text() : QString(); }

bool SearchDialog::wholeWord() const { return WholeWordChk->isChecked(); }

bool SearchDialog::matchCase() const { return MatchCaseChk->isChecked(); }

bool SearchDialog::searchDown() const { return DownRadio->isChecked(); }

void SearchDialog::execute() {
  show();
  raise();
  activateWindow();
  FindEdit->setFocus();
  FindEdit->selectAll();
}

}  // namespace rix
