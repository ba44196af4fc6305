#include "banner/TAboutForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include "banner/AboutArtwork.h"
#include "banner/EffectLabel.h"

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setFixedSize(300, 200);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(pal);
  setAutoFillBackground(true);
  QFont f(QStringLiteral("新細明體"));
  f.setPixelSize(12);
  setFont(f);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, 300, 200);
  Image1->setScaledContents(true);
  Image1->setPixmap(QPixmap::fromImage(rix::AboutArtwork()));
  Image1->installEventFilter(this);

  LabelEffect10 = new rix::EffectLabel(this);
  LabelEffect10->setObjectName(QStringLiteral("LabelEffect10"));
  LabelEffect10->setGeometry(127, 99, 64, 33);
  QFont lf(QStringLiteral("Arial"));
  lf.setPixelSize(27);
  lf.setBold(true);
  LabelEffect10->setFont(lf);
  LabelEffect10->SetFaceColor(QColor(128, 128, 0));
  LabelEffect10->UseGoldScheme();
  LabelEffect10->SetCaption(QStringLiteral("v0.8"));
  LabelEffect10->installEventFilter(this);

  CentreOnScreen();
}

void TAboutForm::Image1Click() { close(); }

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == Image1 || watched == LabelEffect10) &&
      event->type() == QEvent::MouseButtonRelease) {
    auto* me = static_cast<QMouseEvent*>(event);
    auto* w = static_cast<QWidget*>(watched);
    if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint())) {
      Image1Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutForm::showEvent(QShowEvent* event) {
  CentreOnScreen();
  QDialog::showEvent(event);
}

void TAboutForm::CentreOnScreen() {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  const QRect g = s->geometry();
  move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
}
