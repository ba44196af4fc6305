#include "options/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "options/NeoRageOptions.h"

namespace rix {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (auto [button, arrow] : {std::pair{up_, Qt::UpArrow}, std::pair{down_, Qt::DownArrow}}) {
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    layout->addWidget(button);
  }
  // Arrow buttons carry no text: screen readers need names.
  up_->setAccessibleName(QStringLiteral("增加"));
  down_->setAccessibleName(QStringLiteral("減少"));
  connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
  connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setBuddy(QLineEdit* buddy) {
  if (buddy_) buddy_->removeEventFilter(this);
  buddy_ = buddy;
  if (buddy_) buddy_->installEventFilter(this);
}

void UpDown::setRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
}

int UpDown::position() const {
  return buddy_ ? CounterPosition(buddy_->text(), min_, max_) : position_;
}

void UpDown::setPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  const QString text = QString::number(position_);
  // Rewriting an equal text would still report a change to the buddy's listeners.
  if (buddy_ && buddy_->text() != text) buddy_->setText(text);
}

void UpDown::stepBy(int steps) { setPosition(position() + steps); }

QSize UpDown::sizeHint() const {
  const int h = buddy_ ? buddy_->sizeHint().height() : 22;
  return {16, h};
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
      stepBy(key->key() == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace rix
