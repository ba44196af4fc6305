#include "widgets/GridDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>

#include "platform/Big5.h"
#include "widgets/EllipsisEdit.h"
#include "widgets/StringGrid.h"

namespace rix {

GridDelegate::GridDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const QString text = index.data(Qt::DisplayRole).toString();
  if (!IsLinkText(text)) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  opt.text.clear();
  const QWidget* w = opt.widget;
  QStyle* style = w ? w->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
  const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w);
  painter->save();
  QFont f = opt.font;
  f.setUnderline(true);
  painter->setFont(f);
  painter->setPen(QColor(0, 0, 255));
  painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, LinkCaption(text));
  painter->restore();
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
  const int col = index.column();
  const int row = grid_->gridModel()->toGridRow(index.row());
  switch (grid_->editorKindAt(col, row)) {
    case StringGrid::EditorKind::Ellipsis: {
      auto* e = new EllipsisEdit(parent);
      e->onEllipsis = [this, e, col, row] {
        if (!grid_->ellipsClick) return;
        QByteArray value = Big5Encode(e->text());
        grid_->ellipsClick(col, row, value);
        e->setText(Big5Decode(value));
        grid_->setCell(col, row, value);
      };
      return e;
    }
    case StringGrid::EditorKind::DropDown: {
      auto* c = new QComboBox(parent);
      c->addItems(grid_->dropDownItems());
      connect(c, &QComboBox::activated, this, [this, c] {
        auto* self = const_cast<GridDelegate*>(this);
        emit self->commitData(c);
      });
      return c;
    }
    case StringGrid::EditorKind::Plain:
      break;
  }
  auto* e = new QLineEdit(parent);
  e->setFrame(false);
  return e;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const QString text = index.data(Qt::EditRole).toString();
  if (auto* c = qobject_cast<QComboBox*>(editor)) {
    // Opens on the item equal to the cell, ignoring case, else on the first.
    int at = 0;
    for (int i = 0; i < c->count(); ++i) {
      if (c->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
        at = i;
        break;
      }
    }
    c->setCurrentIndex(at);
  } else if (auto* e = qobject_cast<EllipsisEdit*>(editor)) {
    e->setText(text);
  } else if (auto* l = qobject_cast<QLineEdit*>(editor)) {
    l->setText(text);
  }
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
  if (auto* c = qobject_cast<QComboBox*>(editor))
    model->setData(index, c->currentText());
  else if (auto* e = qobject_cast<EllipsisEdit*>(editor))
    model->setData(index, e->text());
  else if (auto* l = qobject_cast<QLineEdit*>(editor))
    model->setData(index, l->text());
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
  QRect r = option.rect;
  if (qobject_cast<QComboBox*>(editor))
    r.setHeight(std::max(r.height(), editor->sizeHint().height()));
  editor->setGeometry(r);
}

}  // namespace rix
