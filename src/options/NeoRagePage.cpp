#include "options/NeoRagePage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "options/BannerLabel.h"
#include "options/RadioGroup.h"
#include "options/UpDown.h"

namespace rix {

NeoRagePage::NeoRagePage(QWidget* parent)
    : OptionsPage(kName, parent),
      Banner(new BannerLabel(pageName(), this)),
      ScanlinesChk(new QCheckBox(QStringLiteral("掃描線 (Vesa)"), this)),
      VsyncChk(new QCheckBox(QStringLiteral("垂直同步更新 (VSync)"), this)),
      JoystickChk(new QCheckBox(QStringLiteral("使用搖桿"), this)),
      CodeAnalysChk(new QCheckBox(QStringLiteral("Skip the code analys"), this)),
      Label7(new QLabel(QStringLiteral("跳過幾張畫面"), this)),
      FrameskipEdit(new QLineEdit(QStringLiteral("0"), this)),
      FrameskipUpDown(new UpDown(this)),
      VideoModeRG(new RadioGroup(
          QStringLiteral("顯示模式"),
          {QStringLiteral("內定"), QStringLiteral("VGA"), QStringLiteral("ModeX 320x240")}, this)),
      NeoRageSaveBtn(new QPushButton(QStringLiteral("參數存檔"), this)) {
  ScanlinesChk->setObjectName(QStringLiteral("ScanlinesChk"));
  VsyncChk->setObjectName(QStringLiteral("VsyncChk"));
  JoystickChk->setObjectName(QStringLiteral("JoystickChk"));
  CodeAnalysChk->setObjectName(QStringLiteral("CodeAnalysChk"));
  Label7->setObjectName(QStringLiteral("Label7"));
  FrameskipEdit->setObjectName(QStringLiteral("FrameskipEdit"));
  FrameskipUpDown->setObjectName(QStringLiteral("FrameskipUpDown"));
  VideoModeRG->setObjectName(QStringLiteral("VideoModeRG"));
  NeoRageSaveBtn->setObjectName(QStringLiteral("NeoRageSaveBtn"));

  // Typing takes one digit in the counter's range; a stray character that a
  // parsed command put there counts as 0 (CounterPosition).
  FrameskipEdit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[%1-%2]?").arg(kFrameskipMin).arg(kFrameskipMax)),
      FrameskipEdit));
  FrameskipEdit->setFixedWidth(FrameskipEdit->fontMetrics().horizontalAdvance(u'0') * 3 + 12);
  FrameskipUpDown->setRange(kFrameskipMin, kFrameskipMax);
  FrameskipUpDown->setBuddy(FrameskipEdit);
  FrameskipUpDown->setAccessibleName(Label7->text());
  Label7->setBuddy(FrameskipEdit);

  auto* counter = new QHBoxLayout;
  counter->setSpacing(0);
  counter->addWidget(FrameskipEdit);
  counter->addWidget(FrameskipUpDown);
  counter->addSpacing(6);
  counter->addWidget(Label7);
  counter->addStretch(1);

  auto* switches = new QVBoxLayout;
  for (QCheckBox* box : {ScanlinesChk, VsyncChk, JoystickChk, CodeAnalysChk})
    switches->addWidget(box);
  switches->addLayout(counter);
  switches->addStretch(1);

  auto* body = new QHBoxLayout;
  body->addLayout(switches);
  body->addWidget(VideoModeRG);
  body->addStretch(1);

  auto* save = new QHBoxLayout;
  save->addWidget(NeoRageSaveBtn);
  save->addStretch(1);

  auto* page = new QVBoxLayout(this);
  page->addWidget(Banner);
  page->addLayout(body);
  page->addLayout(save);
  page->addStretch(1);

  for (QCheckBox* box : {ScanlinesChk, VsyncChk, JoystickChk, CodeAnalysChk})
    connect(box, &QCheckBox::clicked, this, &NeoRagePage::notifyChange);
  connect(VideoModeRG, &RadioGroup::itemClicked, this, &NeoRagePage::notifyChange);
  connect(FrameskipEdit, &QLineEdit::textChanged, this, &NeoRagePage::notifyChange);
  connect(NeoRageSaveBtn, &QPushButton::clicked, this, &OptionsPage::saveRequested);
}

void NeoRagePage::notifyChange() {
  if (!parsingOptions_) emit commandChanged(buildCommand());
}

void NeoRagePage::parseOptions(const QString& command) {
  setOptions(ParseNeoRageSwitches(command, options()));
}

NeoRageOptions NeoRagePage::options() const {
  NeoRageOptions o;
  o.vsync = VsyncChk->isChecked();
  o.frameskip = FrameskipEdit->text();
  o.videoMode = VideoModeRG->itemIndex();
  o.skipAnalysis = CodeAnalysChk->isChecked();
  o.scanlines = ScanlinesChk->isChecked();
  o.joystick = JoystickChk->isChecked();
  return o;
}

void NeoRagePage::setOptions(const NeoRageOptions& o) {
  const bool outer = parsingOptions_;
  parsingOptions_ = true;
  VsyncChk->setChecked(o.vsync);
  // setText bypasses the validator, so a parsed character shows as it stands.
  if (FrameskipEdit->text() != o.frameskip) FrameskipEdit->setText(o.frameskip);
  VideoModeRG->setItemIndex(o.videoMode);
  CodeAnalysChk->setChecked(o.skipAnalysis);
  ScanlinesChk->setChecked(o.scanlines);
  JoystickChk->setChecked(o.joystick);
  parsingOptions_ = outer;
}

}  // namespace rix
