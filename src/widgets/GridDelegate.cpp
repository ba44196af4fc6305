#include "widgets/GridDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QStyle>

#include "platform/Big5.h"
#include "widgets/EllipsisEdit.h"
#include "widgets/StringGrid.h"

namespace rix {

GridDelegate::GridDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

namespace {

// Laid-out texts kept at most; a page needs a few hundred, and a drag through
// a long list would otherwise keep every cell it passed.
constexpr qsizetype kMaxLayouts = 4096;

constexpr QStyle::State kStyledStates = QStyle::State_Selected | QStyle::State_HasFocus |
                                        QStyle::State_MouseOver | QStyle::State_Editing;

quint64 LayoutKey(std::uint32_t rowId, int col) {
  return (static_cast<quint64>(rowId) << 24) ^ static_cast<quint64>(col);
}

quint64 GeometryKey(QSize cell, bool withIcon, QSize icon) {
  auto part = [](int v) { return static_cast<quint64>(static_cast<quint16>(v)); };
  return part(cell.width()) | part(cell.height()) << 16 |
         (withIcon ? (part(icon.width()) << 32 | part(icon.height()) << 48 | 1ull << 31) : 0);
}

}  // namespace

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  if (ownPainting_ && paintOwn(painter, option, index)) return;
  paintStyled(painter, option, index);
}

void GridDelegate::dropLayouts() const {
  layouts_.clear();
  geometries_.clear();
}

void GridDelegate::paintStyled(QPainter* painter, const QStyleOptionViewItem& option,
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

const GridDelegate::Geometry& GridDelegate::geometryFor(const QStyleOptionViewItem& option,
                                                        const QModelIndex& index, bool withIcon,
                                                        QSize iconSize) const {
  const quint64 key = GeometryKey(option.rect.size(), withIcon, iconSize);
  auto it = geometries_.constFind(key);
  if (it != geometries_.cend()) return *it;
  // The style's own layout of this cell size; it does not depend on the text.
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QWidget* w = opt.widget;
  QStyle* style = w ? w->style() : QApplication::style();
  const QPoint origin = opt.rect.topLeft();
  Geometry g;
  if (withIcon) {
    const QRect box = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &opt, w);
    g.icon = QStyle::alignedRect(opt.direction, opt.decorationAlignment, iconSize, box)
                 .translated(-origin);
  }
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
  g.text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w)
               .adjusted(margin, 0, -margin, 0)
               .translated(-origin);
  const QFontMetrics fm(opt.font);
  g.baseline = g.text.top() + (g.text.height() - fm.height()) / 2;
  return *geometries_.insert(key, g);
}

const GridDelegate::Layout& GridDelegate::layoutFor(int col, int gridRow, QByteArrayView bytes,
                                                    int width) const {
  if (layouts_.size() >= kMaxLayouts) layouts_.clear();
  Layout& l = layouts_[LayoutKey(grid_->data().rowId(gridRow), col)];
  if (l.width != width || l.bytes != bytes) {
    const QString text = Big5Decode(bytes);
    l.bytes = bytes.toByteArray();
    l.width = width;
    l.link = IsLinkText(text);
    l.text = QStaticText(text);
    l.text.setTextFormat(Qt::PlainText);
    l.text.prepare(QTransform(), layoutFont_);
    l.textWidth = l.text.size().width();
  }
  return l;
}

bool GridDelegate::paintOwn(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  if ((option.state & kStyledStates) || !(option.state & QStyle::State_Enabled) ||
      (option.features & QStyleOptionViewItem::Alternate) || option.direction != Qt::LeftToRight)
    return false;
  const QWidget* w = option.widget;
  const QStyle* style = w ? w->style() : QApplication::style();
  if (style != layoutStyle_ || option.font != layoutFont_) {
    dropLayouts();
    layoutStyle_ = style;
    layoutFont_ = option.font;
  }

  const GridData& data = grid_->data();
  const int col = index.column();
  const int row = grid_->gridModel()->toGridRow(index.row());
  const QByteArrayView bytes = DisplayPart(data.cell(col, row));
  const QPixmap* icon = nullptr;
  const int image = data.cellImage(col, row);
  const QVector<QPixmap>& images = grid_->gridModel()->images();
  if (image >= 0 && image < images.size() && !images[image].isNull()) {
    icon = &images[image];
    if (icon->devicePixelRatio() != 1.0) return false;
  }
  const Geometry& g = geometryFor(option, index, icon != nullptr, icon ? icon->size() : QSize());

  if (!bytes.isEmpty()) {
    const Layout& l = layoutFor(col, row, bytes, option.rect.width());
    // A text wider than its box is elided by the style.
    if (l.link || l.textWidth > g.text.width()) return false;
    if (icon) painter->drawPixmap(option.rect.topLeft() + g.icon.topLeft(), *icon);
    const QPalette::ColorGroup cg =
        option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
    const QPen oldPen = painter->pen();
    const QFont oldFont = painter->font();
    painter->setPen(option.palette.color(cg, QPalette::Text));
    painter->setFont(option.font);
    painter->drawStaticText(
        QPointF(option.rect.left() + g.text.left(), option.rect.top() + g.baseline), l.text);
    painter->setFont(oldFont);
    painter->setPen(oldPen);
    return true;
  }
  if (icon) painter->drawPixmap(option.rect.topLeft() + g.icon.topLeft(), *icon);
  return true;
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
