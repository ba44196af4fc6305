#include "options/ZsnesPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "options/BannerLabel.h"
#include "options/FixedGrid.h"
#include "options/PadPicture.h"
#include "options/zSNES.h"
#include "platform/VirtualKey.h"

namespace rix {

namespace {

QComboBox* DeviceList(QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->addItems({QStringLiteral("Disable"), QStringLiteral("Keyboard"), QStringLiteral("Joystick"),
                  QStringLiteral("4 button joystick (1)"), QStringLiteral("4 button joystick (2)"),
                  QStringLiteral("6 button joystick"), QStringLiteral("Sidewinder Joypad")});
  list->setCurrentIndex(-1);
  return list;
}

// The scan code a key event stands for, 0 when the table lacks it.
int ScanCodeOf(const QKeyEvent* event) {
  return ScanCodeOfVirtualKey(VirtualKeyFromQt(event->key(), event->modifiers()));
}

}  // namespace

ZsnesPage::ZsnesPage(QWidget* parent)
    : OptionsPage(kName, parent),
      Banner(new BannerLabel(pageName(), this)),
      PageControl(new QTabWidget(this)),
      Label2(new QLabel(QStringLiteral("Player 1"))),
      ComboBox1(DeviceList(nullptr)),
      Label3(new QLabel(QStringLiteral("Player 2"))),
      ComboBox2(DeviceList(nullptr)),
      Label4(new QLabel(QStringLiteral("鍵盤設定:"))),
      zSNESGrid(new FixedGrid(3, 13, {30, 59, 59}, 16)),
      Label5(new QLabel(QStringLiteral("搖桿設定:"))),
      StringGrid1(new FixedGrid(2, 9, {30, 59}, 16)),
      PadImage(new QLabel) {
  PageControl->setObjectName(QStringLiteral("PageControl"));
  Label2->setObjectName(QStringLiteral("Label2"));
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  Label3->setObjectName(QStringLiteral("Label3"));
  ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
  Label4->setObjectName(QStringLiteral("Label4"));
  zSNESGrid->setObjectName(QStringLiteral("zSNESGrid"));
  Label5->setObjectName(QStringLiteral("Label5"));
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  PadImage->setObjectName(QStringLiteral("PadImage"));

  PadImage->setPixmap(PadPicture());
  PadImage->setFixedSize(kPadPictureWidth, kPadPictureHeight);
  Label4->setBuddy(zSNESGrid);
  Label5->setBuddy(StringGrid1);
  Label2->setBuddy(ComboBox1);
  Label3->setBuddy(ComboBox2);

  auto* controls = new QWidget;
  auto* grid = new QGridLayout(controls);
  grid->addWidget(Label2, 0, 0);
  grid->addWidget(ComboBox1, 1, 0);
  grid->addWidget(Label3, 0, 2);
  grid->addWidget(ComboBox2, 1, 2);
  grid->addWidget(Label4, 2, 0);
  grid->addWidget(zSNESGrid, 3, 0, Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(PadImage, 3, 1, Qt::AlignCenter);
  grid->addWidget(Label5, 2, 2);
  grid->addWidget(StringGrid1, 3, 2, Qt::AlignLeft | Qt::AlignTop);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(4, 1);

  PageControl->addTab(new QWidget, QStringLiteral("顯示"));
  PageControl->addTab(controls, QStringLiteral("控制"));
  PageControl->addTab(new QWidget, QStringLiteral("聲音"));
  PageControl->addTab(new QWidget, QStringLiteral("參數"));
  PageControl->setCurrentIndex(0);

  auto* page = new QVBoxLayout(this);
  page->addWidget(Banner);
  page->addWidget(PageControl, 1);

  zSNESGrid->installEventFilter(this);
  StringGrid1->installEventFilter(this);
}

void ZsnesPage::fillGridCaptions() {
  zSNESGrid->setCellText(1, 0, QStringLiteral("Play 1"));
  zSNESGrid->setCellText(2, 0, QStringLiteral("Play 2"));
  for (int i = 0; i < kPadButtonCount; ++i)
    zSNESGrid->setCellText(0, i + 1, QString::fromUtf8(PadButtonNames[i]));
}

void ZsnesPage::zSNESGridKeyDown(int& key) {
  const int scanCode = ScanCodeOfVirtualKey(key);
  if (scanCode == 0) return;
  const int row = zSNESGrid->currentRow();
  const int column = zSNESGrid->currentColumn();
  if (row > 0 && column > 0) zSNESGrid->setCellText(column, row, KeyCellText(scanCode));
  key = 0;
}

bool ZsnesPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched != zSNESGrid && watched != StringGrid1) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::ShortcutOverride: {
      // A recorded key belongs to the grid even when a window shortcut uses it.
      auto* keyEvent = static_cast<QKeyEvent*>(event);
      if (ScanCodeOf(keyEvent) != 0) {
        keyEvent->accept();
        return true;
      }
      break;
    }
    case QEvent::KeyPress: {
      auto* keyEvent = static_cast<QKeyEvent*>(event);
      const int pressed = VirtualKeyFromQt(keyEvent->key(), keyEvent->modifiers());
      int key = pressed;
      zSNESGridKeyDown(key);
      if (pressed != 0 && key == 0) return true;  // recorded: the grid does nothing else
      break;
    }
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace rix
