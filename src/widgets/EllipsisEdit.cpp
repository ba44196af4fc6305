#include "widgets/EllipsisEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace rix {

EllipsisEdit::EllipsisEdit(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  edit_ = new QLineEdit(this);
  edit_->setFrame(false);
  button_ = new QToolButton(this);
  button_->setText(QStringLiteral("..."));
  button_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(edit_, 1);
  layout->addWidget(button_);
  setFocusProxy(edit_);
  connect(button_, &QToolButton::clicked, this, [this] {
    if (onEllipsis) onEllipsis();
  });
}

QString EllipsisEdit::text() const { return edit_->text(); }

void EllipsisEdit::setText(const QString& text) { edit_->setText(text); }

}  // namespace rix
