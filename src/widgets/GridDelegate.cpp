#include "widgets/GridDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QGlyphRun>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QTextLayout>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>

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
  rowLayouts_.clear();
  layoutCount_ = 0;
  lastRow_ = nullptr;
  currentLooks_.clear();
  geometries_.clear();
  glyphs_.clear();
  rawFonts_.clear();
  // Fonts change between paints only, never with texts gathered.
  batch_.clear();
  batchPending_ = false;
}

namespace {

// Characters whose glyph and advance never depend on their neighbours in the
// grid's font (kerning off): no ligature start, no combining or joining
// marks, no right-to-left or shaped scripts, no controls or other blanks
// than the plain space (a trailing one is not part of a text's width).
bool QuickChar(char16_t c) {
  if (c < 0x20 || c == 'f' || (c >= 0x7F && c < 0xA0)) return false;
  if (c < 0x300) return true;
  if (c < 0x370) return false;   // combining marks
  if (c < 0x530) return true;    // Greek, Cyrillic
  if (c < 0x2010) return false;  // shaped scripts, blanks and joiners
  if (c < 0x2028) return true;   // dashes, quotes, bullets
  if (c < 0x2070) return false;
  if (c >= 0x20D0 && c < 0x2100) return false;
  if (c == 0x3000) return false;                // the ideographic blank
  if (c >= 0xD800 && c < 0xE000) return false;  // halves of other planes
  if (c >= 0xFE00 && c < 0xFE30) return false;  // selectors, half marks
  if (c >= 0xFFF0) return false;
  return true;
}

}  // namespace

const GridDelegate::CharGlyph& GridDelegate::glyphOf(char16_t c) const {
  auto it = glyphs_.constFind(c);
  if (it != glyphs_.cend()) return *it;
  CharGlyph g;
  if (QuickChar(c)) {
    QTextLayout layout(QString(QChar(c)), layoutFont_);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (line.isValid() && runs.size() == 1 && runs[0].glyphIndexes().size() == 1 &&
        runs[0].positions().size() == 1 && runs[0].positions()[0] == QPointF(0, line.ascent())) {
      const QRawFont font = runs[0].rawFont();
      auto at = std::find(rawFonts_.begin(), rawFonts_.end(), font);
      if (at == rawFonts_.end()) at = rawFonts_.insert(rawFonts_.end(), font);
      g.glyph = runs[0].glyphIndexes()[0];
      g.font = static_cast<qint32>(at - rawFonts_.begin());
      g.advance = line.horizontalAdvance();
      g.ascent = line.ascent();
    }
  }
  return *glyphs_.insert(c, g);
}

bool GridDelegate::layOutQuickly(Layout& l, const QString& text) const {
  const qsizetype n = text.size();
  if (n == 0 || text.back() == u' ') return false;
  // First every character's glyph and the tallest ascent, then each glyph's
  // place: every glyph stands on the text's baseline, the tallest font's
  // ascent below the top, as one line of the text would put it.
  QVarLengthArray<CharGlyph, 64> chars(n);
  qreal ascent = 0;
  for (qsizetype i = 0; i < n; ++i) {
    chars[i] = glyphOf(text[i].unicode());
    if (chars[i].font < 0) return false;
    ascent = std::max(ascent, chars[i].ascent);
  }
  std::vector<QuickGlyph> glyphs(static_cast<size_t>(n));
  qreal x = 0;
  for (qsizetype i = 0; i < n; ++i) {
    glyphs[static_cast<size_t>(i)] = {x, chars[i].glyph, chars[i].font};
    x += chars[i].advance;
  }
  l.glyphs = std::move(glyphs);
  l.ascent = ascent;
  l.textWidth = x;
  l.text.reset();
  l.quick = true;
  return true;
}

void GridDelegate::layOut(Layout& l, const QString& text) const {
  if (layOutQuickly(l, text)) return;
  l.quick = false;
  l.glyphs.clear();
  l.text.emplace(text);
  l.text->setTextFormat(Qt::PlainText);
  l.text->prepare(QTransform(), layoutFont_);
  l.textWidth = l.text->size().width();
}

void GridDelegate::setLayoutFont(const QFont& font, const void* style) const {
  if (style == layoutStyle_ && font == layoutFont_) return;
  dropLayouts();
  layoutStyle_ = style;
  layoutFont_ = font;
}

void GridDelegate::prepareRows(int first, int last,
                               const std::vector<std::pair<int, int>>& colWidths) const {
  if (!layoutStyle_ || !ownPainting_) return;
  const GridData& data = grid_->data();
  first = std::max(first, 0);
  last = std::min(last, data.rowCount() - 1);
  for (int row = first; row <= last; ++row)
    for (const auto& [col, width] : colWidths) {
      const QByteArrayView bytes = DisplayPart(data.cell(col, row));
      if (!bytes.isEmpty()) layoutFor(col, row, bytes, width);
    }
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

const GridDelegate::Geometry& GridDelegate::geometryFor(const QStyleOptionViewItem& option, int col,
                                                        int gridRow, bool withIcon,
                                                        QSize iconSize) const {
  const quint64 key = GeometryKey(option.rect.size(), withIcon, iconSize);
  auto it = geometries_.constFind(key);
  if (it != geometries_.cend()) return *it;
  // The style's own layout of this cell size; it does not depend on the text.
  const QModelIndex index = grid_->gridModel()->index(grid_->gridModel()->toModelRow(gridRow), col);
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
  // The cells of a row are looked for one after another: the row once.
  const std::uint32_t id = grid_->data().rowId(gridRow);
  if (!lastRow_ || lastRowId_ != id) {
    if (layoutCount_ >= kMaxLayouts) {
      rowLayouts_.clear();
      layoutCount_ = 0;
    }
    lastRow_ = &rowLayouts_[id];
    lastRowId_ = id;
    if (lastRow_->empty()) lastRow_->reserve(static_cast<size_t>(grid_->colCount()));
  }
  if (lastRow_->size() <= static_cast<size_t>(col)) lastRow_->resize(static_cast<size_t>(col) + 1);
  Layout& l = (*lastRow_)[static_cast<size_t>(col)];
  if (l.width != width || l.bytes != bytes) {
    ++layoutCount_;
    const QString text = Big5Decode(bytes);
    l.bytes = bytes.toByteArray();
    l.width = width;
    l.link = IsLinkText(text);
    layOut(l, text);
  }
  return l;
}

bool GridDelegate::paintOwn(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  if ((option.state & kStyledStates) || !(option.state & QStyle::State_Enabled) ||
      (option.features & QStyleOptionViewItem::Alternate) || option.direction != Qt::LeftToRight)
    return false;
  const QPen oldPen = painter->pen();
  const bool drawn =
      paintPlain(painter, option, index.column(), grid_->gridModel()->toGridRow(index.row()));
  if (painter->pen() != oldPen) painter->setPen(oldPen);
  return drawn;
}

bool GridDelegate::partsOf(const QStyleOptionViewItem& option, int col, int gridRow,
                           Parts& parts) const {
  const QWidget* w = option.widget;
  setLayoutFont(option.font, w ? w->style() : QApplication::style());
  const int image = grid_->data().cellImage(col, gridRow);
  const QVector<QPixmap>& images = grid_->gridModel()->images();
  parts.icon =
      image >= 0 && image < images.size() && !images[image].isNull() ? &images[image] : nullptr;
  if (parts.icon && parts.icon->devicePixelRatio() != 1.0) return false;
  parts.g = &geometryFor(option, col, gridRow, parts.icon != nullptr,
                         parts.icon ? parts.icon->size() : QSize());
  const QByteArrayView bytes = DisplayPart(grid_->data().cell(col, gridRow));
  parts.text = bytes.isEmpty() ? nullptr : &layoutFor(col, gridRow, bytes, option.rect.width());
  // A text wider than its box is elided by the style.
  return !parts.text || (!parts.text->link && parts.text->textWidth <= parts.g->text.width());
}

bool GridDelegate::paintPlain(QPainter* painter, const QStyleOptionViewItem& option, int col,
                              int row) const {
  Parts c;
  if (!partsOf(option, col, row, c)) return false;
  if (c.icon) drawPicture(painter, option.rect.topLeft() + c.g->icon.topLeft(), *c.icon);
  if (!c.text) return true;
  const Layout& l = *c.text;
  const QPalette::ColorGroup cg =
      option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
  const QPointF at(option.rect.left() + c.g->text.left(), option.rect.top() + c.g->baseline);
  const QColor colour = option.palette.color(cg, QPalette::Text);
  if (l.quick && batching_) {
    const QPen& pen = painter->pen();
    if (pen.color() != colour || pen.style() != Qt::SolidLine) painter->setPen(colour);
    addToBatch(painter, at, l, colour);
  } else {
    drawText(painter, at, l, colour, option.font);
  }
  return true;
}

void GridDelegate::drawText(QPainter* painter, QPointF at, const Layout& l, const QColor& colour,
                            const QFont& font) const {
  const QPen& pen = painter->pen();
  if (pen.color() != colour || pen.style() != Qt::SolidLine) painter->setPen(colour);
  if (l.quick) {
    // One run a font, as the text's line would give them.
    for (size_t i = 0; i < l.glyphs.size();) {
      const qint32 f = l.glyphs[i].font;
      size_t end = i + 1;
      while (end < l.glyphs.size() && l.glyphs[end].font == f) ++end;
      QList<quint32> glyphs;
      QList<QPointF> positions;
      glyphs.reserve(static_cast<qsizetype>(end - i));
      positions.reserve(static_cast<qsizetype>(end - i));
      for (; i < end; ++i) {
        glyphs.append(l.glyphs[i].glyph);
        positions.append(QPointF(l.glyphs[i].x, l.ascent));
      }
      QGlyphRun run;
      run.setRawFont(rawFonts_[static_cast<size_t>(f)]);
      run.setGlyphIndexes(glyphs);
      run.setPositions(positions);
      painter->drawGlyphRun(at, run);
    }
  } else {
    const QFont oldFont = painter->font();
    painter->setFont(font);
    painter->drawStaticText(at, *l.text);
    painter->setFont(oldFont);
  }
}

bool GridDelegate::paintCurrent(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  if ((option.state & (QStyle::State_MouseOver | QStyle::State_Editing)) ||
      !(option.state & QStyle::State_Enabled) ||
      (option.features & QStyleOptionViewItem::Alternate) || option.direction != Qt::LeftToRight)
    return false;
  Parts c;
  if (!partsOf(option, index.column(), grid_->gridModel()->toGridRow(index.row()), c)) return false;
  const QWidget* w = option.widget;
  QStyle* style = w ? w->style() : QApplication::style();
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  opt.text.clear();
  const bool focus = opt.state & QStyle::State_HasFocus;
  opt.state &= ~QStyle::State_HasFocus;
  // The view's row panel, then the style's own drawing of the cell without
  // its text and focus frame: the panel and the picture (tinted when
  // selected) where it puts them; kept as the pixels they give where they
  // cover the cell.
  const CurrentLook& look = currentLook(option, opt, c.icon, painter);
  if (!look.panel.isNull()) {
    painter->drawImage(option.rect.topLeft(), look.panel);
  } else {
    style->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, painter, w);
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
  }
  QPalette::ColorGroup cg =
      opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
  if (cg == QPalette::Normal && !(opt.state & QStyle::State_Active)) cg = QPalette::Inactive;
  if (c.text) {
    const QColor colour = opt.palette.color(
        cg, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    const QPointF at(option.rect.left() + c.g->text.left(), option.rect.top() + c.g->baseline);
    drawText(painter, at, *c.text, colour, option.font);
  }
  if (focus) {
    // The frame as the style draws it last, over the text.
    opt.state |= QStyle::State_HasFocus;
    QStyleOptionFocusRect o;
    o.QStyleOption::operator=(opt);
    o.rect = look.focus.translated(option.rect.topLeft());
    o.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    o.backgroundColor = opt.palette.color(
        opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
        opt.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
    painter->save();
    painter->setClipRect(opt.rect);
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &o, painter, w);
    painter->restore();
  }
  return true;
}

namespace {

// Brushes of one colour, which look the same wherever they are drawn.
bool PlainBrushes(const QPalette& palette) {
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    for (const auto role : {QPalette::Base, QPalette::AlternateBase, QPalette::Highlight,
                            QPalette::Window, QPalette::Button})
      if (palette.brush(group, role).style() != Qt::SolidPattern) return false;
  return true;
}

}  // namespace

const GridDelegate::CurrentLook& GridDelegate::currentLook(const QStyleOptionViewItem& row,
                                                           const QStyleOptionViewItem& cell,
                                                           const QPixmap* picture,
                                                           const QPainter* painter) const {
  LookKey key;
  key.size = cell.rect.size();
  key.rowState = row.state.toInt();
  key.state = cell.state.toInt();
  key.features = cell.features.toInt();
  key.group = cell.palette.currentColorGroup();
  key.decorationAlignment = cell.decorationAlignment.toInt();
  key.decorationPosition = cell.decorationPosition;
  key.displayAlignment = cell.displayAlignment.toInt();
  key.viewItemPosition = cell.viewItemPosition;
  key.showDecorationSelected = cell.showDecorationSelected;
  key.decorationSize = cell.decorationSize;
  key.palette = cell.palette.cacheKey();
  key.picture = picture ? picture->cacheKey() : 0;
  for (const CurrentLook& look : currentLooks_)
    if (look.key == key) return look;

  const QWidget* w = cell.widget;
  QStyle* style = w ? w->style() : QApplication::style();
  CurrentLook look;
  look.key = key;
  QStyleOptionViewItem focused = cell;
  focused.state |= QStyle::State_HasFocus;
  look.focus = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &focused, w)
                   .translated(-cell.rect.topLeft());
  // Drawn once into an image a pixel wider on every side: kept only when it
  // covers the cell with opaque pixels and leaves the border untouched, so
  // that a copy gives the same pixels as the style's drawing over anything.
  const QPaintDevice* device = painter->device();
  if (PlainBrushes(cell.palette) && row.palette.cacheKey() == cell.palette.cacheKey() && device &&
      device->devicePixelRatio() == 1.0 && !key.size.isEmpty()) {
    QImage canvas(key.size + QSize(2, 2), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
      QPainter p(&canvas);
      p.translate(QPoint(1, 1) - cell.rect.topLeft());
      style->drawPrimitive(QStyle::PE_PanelItemViewRow, &row, &p, w);
      style->drawControl(QStyle::CE_ItemViewItem, &cell, &p, w);
    }
    bool covers = true;
    for (int y = 0; y < canvas.height() && covers; ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
      const bool border = y == 0 || y == canvas.height() - 1;
      for (int x = 0; x < canvas.width() && covers; ++x) {
        const bool edge = border || x == 0 || x == canvas.width() - 1;
        covers = edge ? line[x] == 0 : qAlpha(line[x]) == 255;
      }
    }
    if (covers)
      look.panel = canvas.copy(QRect(QPoint(1, 1), key.size)).convertToFormat(QImage::Format_RGB32);
  }
  if (currentLooks_.size() >= 16) currentLooks_.clear();
  currentLooks_.push_back(std::move(look));
  return currentLooks_.back();
}

void GridDelegate::addToBatch(QPainter* painter, QPointF at, const Layout& l,
                              const QColor& colour) const {
  if (colour != batchColour_) {
    flushBatch(painter);
    batchColour_ = colour;
  }
  if (batch_.size() < rawFonts_.size()) batch_.resize(rawFonts_.size());
  // The sum the painter forms for a run drawn at `at`, so the glyphs land on
  // the same fractions of a pixel.
  const qreal y = at.y() + l.ascent;
  for (const QuickGlyph& g : l.glyphs) {
    BatchRun& b = batch_[static_cast<size_t>(g.font)];
    b.glyphs.append(g.glyph);
    b.positions.append(QPointF(at.x() + g.x, y));
  }
  batchPending_ = true;
}

void GridDelegate::flushBatch(QPainter* painter) const {
  if (!batchPending_) return;
  batchPending_ = false;
  const QPen& pen = painter->pen();
  if (pen.color() != batchColour_ || pen.style() != Qt::SolidLine) painter->setPen(batchColour_);
  for (size_t f = 0; f < batch_.size(); ++f) {
    BatchRun& b = batch_[f];
    if (b.glyphs.isEmpty()) continue;
    {
      QGlyphRun run;
      run.setRawFont(rawFonts_[f]);
      run.setGlyphIndexes(b.glyphs);
      run.setPositions(b.positions);
      painter->drawGlyphRun(QPointF(), run);
    }
    // Emptied, not freed: the run that shared them is gone.
    b.glyphs.clear();
    b.positions.clear();
  }
}

void GridDelegate::beginTextBatch(QPainter* painter) const {
  batching_ = true;
  direct_ = DirectTarget(*painter);
  directTransform_ = painter->deviceTransform();
}

void GridDelegate::drawTextBatch(QPainter* painter) const {
  flushBatch(painter);
  batching_ = false;
  direct_ = DirectImage();
}

void GridDelegate::drawPicture(QPainter* painter, QPoint at, const QPixmap& picture) const {
  if (!copyPicture(painter, at, picture)) painter->drawPixmap(at, picture);
}

bool GridDelegate::copyPicture(QPainter* painter, QPoint at, const QPixmap& picture) const {
  // A page's lamps: each drawn by the painter is a blend of its pixels over
  // the background, set up anew for every lamp.
  QImage* const image = direct_.image;
  if (!batching_ || !image || !direct_.sourceOver || painter->hasClipping() ||
      painter->opacity() != 1.0 ||
      painter->compositionMode() != QPainter::CompositionMode_SourceOver ||
      painter->deviceTransform() != directTransform_ || picture.devicePixelRatio() != 1.0)
    return false;
  const QRect r(at + direct_.offset, picture.size());
  if (r.isEmpty() || std::none_of(direct_.clip.begin(), direct_.clip.end(),
                                  [&r](const QRect& c) { return c.contains(r); }))
    return false;
  const qsizetype stride = image->bytesPerLine();
  auto* const bits = const_cast<uchar*>(image->constBits()) + r.left() * sizeof(QRgb);
  const auto row = [&](int y) { return reinterpret_cast<QRgb*>(bits + stride * y); };
  const QRgb under = row(r.top())[0];
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const QRgb* line = row(y);
    if (std::any_of(line, line + r.width(), [under](QRgb p) { return p != under; })) return false;
  }
  const auto made =
      std::find_if(picturesOver_.begin(), picturesOver_.end(), [&](const PictureOver& p) {
        return p.picture == picture.cacheKey() && p.under == under && p.format == image->format();
      });
  const QImage* pixels = made != picturesOver_.end() ? &made->pixels : nullptr;
  if (!pixels) {
    // What the painter makes of the picture over that colour, in the
    // image's own format: the same blend, pixel for pixel.
    QImage over(picture.size(), image->format());
    over.fill(under);
    {
      QPainter p(&over);
      p.drawPixmap(0, 0, picture);
    }
    if (picturesOver_.size() >= 32) picturesOver_.clear();
    picturesOver_.push_back({picture.cacheKey(), under, image->format(), std::move(over)});
    pixels = &picturesOver_.back().pixels;
  }
  for (int y = 0; y < r.height(); ++y)
    std::memcpy(row(r.top() + y), pixels->constScanLine(y), sizeof(QRgb) * r.width());
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
