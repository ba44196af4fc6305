#pragma once

#include <QDialog>

class QLabel;

namespace rix {
class EffectLabel;
}

// The borderless picture with the version on it: the splash window while the
// program starts (shown without waiting) and the about box (shown modally).
// A click on the picture or on the version closes it.
class TAboutForm : public QDialog {
  Q_OBJECT

public:
  explicit TAboutForm(QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  rix::EffectLabel* LabelEffect10 = nullptr;

public slots:
  void Image1Click();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void CentreOnScreen();
};
