#include "widgets/StringGrid.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

#include "platform/Big5.h"
#include "widgets/ColumnTextWidths.h"
#include "widgets/GridDelegate.h"
#include "widgets/GridHeader.h"
#include "widgets/GridLines.h"
#include "widgets/GridScrollBar.h"
#include "widgets/MenuShortcuts.h"

namespace rix {

namespace {

constexpr int kDefaultColWidth = 22;
constexpr int kDefaultRowHeight = 16;

}  // namespace

StringGrid::StringGrid(QWidget* parent) : QTableView(parent) {
  setHorizontalHeader(new GridHeader(this));
  // The view ties its own bar to these when it is made; a bar put in its
  // place is tied the same way.
  auto* bar = new GridScrollBar(Qt::Vertical, this);
  setVerticalScrollBar(bar);
  connect(bar, &QScrollBar::actionTriggered, this, &StringGrid::verticalScrollbarAction);
  connect(bar, &QScrollBar::valueChanged, this, &StringGrid::verticalScrollbarValueChanged);
  // The row header is never shown; hidden before the model comes, the view
  // does not measure its sections, and the font is the grid's own before any
  // text is measured.
  verticalHeader()->hide();
  QFont f = font();
  f.setKerning(false);
  setFont(f);
  model_ = new StringGridModel(this);
  model_->grid().setColCount(5);
  model_->grid().setRowCount(5);
  setModel(model_);
  delegate_ = new GridDelegate(this);
  setItemDelegate(delegate_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setMouseTracking(true);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(kDefaultColWidth);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setMinimumHeight(kDefaultRowHeight + 2);
  horizontalHeader()->viewport()->installEventFilter(this);
  syncViewCursor();
}

void StringGrid::beginBulkChange() {
  if (bulkDepth_++ == 0) model_->beginChange();
}

void StringGrid::endBulkChange() {
  if (--bulkDepth_ > 0) return;
  model_->endChange();
  horizontalHeader()->setVisible(fixedRows() > 0);
  syncViewCursor();
}

void StringGrid::columnImagesChanged(int col) {
  if (bulkDepth_ > 0 || col < 0 || col >= colCount() || rowCount() <= fixedRows()) return;
  model_->columnImagesChanged(col);
}

void StringGrid::paintNow() {
  if (!isVisible()) return;
  executeDelayedItemsLayout();
  viewport()->repaint();
}

void StringGrid::setRowCount(int rows) {
  if (rows == rowCount()) return;
  beginBulkChange();
  data().setRowCount(rows);
  endBulkChange();
}

void StringGrid::setColCount(int cols) {
  if (cols == colCount()) return;
  beginBulkChange();
  data().setColCount(cols);
  endBulkChange();
}

void StringGrid::syncViewCursor() {
  const int minRow = fixedRows();
  row_ = std::clamp(row_, minRow, std::max(minRow, rowCount() - 1));
  col_ = std::clamp(col_, 0, std::max(0, colCount() - 1));
  if (bulkDepth_ > 0) return;
  syncing_ = true;
  const QModelIndex idx = model_->index(model_->toModelRow(row_), col_);
  if (idx.isValid()) {
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
    scrollTo(idx);
  }
  syncing_ = false;
}

void StringGrid::setRow(int row) {
  row_ = row;
  syncViewCursor();
}

void StringGrid::setCol(int col) {
  col_ = col;
  syncViewCursor();
}

void StringGrid::setCursor(int col, int row) {
  col_ = col;
  row_ = row;
  syncViewCursor();
}

void StringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  row_ = model_->toGridRow(current.row());
  col_ = current.column();
}

void StringGrid::setCell(int col, int row, QByteArrayView text) {
  if (col >= colCount() || row >= rowCount()) {
    beginBulkChange();
    if (col >= colCount()) data().setColCount(col + 1);
    if (row >= rowCount()) data().setRowCount(row + 1);
    data().setCell(col, row, text);
    endBulkChange();
    return;
  }
  data().setCell(col, row, text);
  if (bulkDepth_ == 0) model_->cellChanged(col, row);
}

void StringGrid::clearCells() {
  beginBulkChange();
  data().clearCells();
  endBulkChange();
  // New rows are not in the order of the last sort.
  horizontalHeader()->setSortIndicatorShown(false);
}

void StringGrid::clearRow(int row) {
  data().clearRow(row);
  if (bulkDepth_ == 0) model_->rowChanged(row);
}

void StringGrid::insertRows(int at, int count) {
  beginBulkChange();
  data().insertRows(at, count);
  endBulkChange();
}

void StringGrid::removeRow(int at) {
  beginBulkChange();
  data().removeRow(at);
  endBulkChange();
}

void StringGrid::setCellImage(int col, int row, int index) {
  data().setCellImage(col, row, index);
  if (bulkDepth_ == 0 && col < colCount() && row < rowCount()) model_->cellChanged(col, row);
}

void StringGrid::setImages(const QVector<QPixmap>& images) { model_->setImages(images); }

void StringGrid::autoSizeColumns() {
  const int extra = QFontMetrics(font()).horizontalAdvance(QStringLiteral("xx")) + 10;
  const std::vector<int> widest = WidestColumnTexts(data(), font());
  // One pass over the sections: a header that paints as it goes spends work
  // over all sections on every single resize.
  QHeaderView* header = horizontalHeader();
  header->setUpdatesEnabled(false);
  for (int c = 0; c < colCount(); ++c)
    header->resizeSection(c, widest[static_cast<size_t>(c)] + extra);
  header->setUpdatesEnabled(true);
  viewport()->update();
}

void StringGrid::setEditMode(bool on) {
  model_->setEditable(on);
  setEditTriggers(on ? (QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::SelectedClicked)
                     : QAbstractItemView::NoEditTriggers);
  if (!on && state() == QAbstractItemView::EditingState) {
    if (QWidget* ed = indexWidget(currentIndex())) closeEditor(ed, QAbstractItemDelegate::NoHint);
  }
}

StringGrid::EditorKind StringGrid::editorKindAt(int col, int row) const {
  return getEditorType ? getEditorType(col, row) : EditorKind::Plain;
}

void StringGrid::headerReleased(int col) {
  if (rowCount() <= 2 || col < 0 || col >= colCount()) return;
  if (col == sortCol_) {
    sortAsc_ = !sortAsc_;
  } else {
    sortCol_ = col;
    sortAsc_ = true;
  }
  const std::uint32_t id = data().rowId(row_);
  beginBulkChange();
  data().sortRows(sortCol_, sortAsc_, 1);
  row_ = data().rowOfId(id);
  endBulkChange();
  // A visual aid only: the grid sorts on releases, never on the indicator.
  horizontalHeader()->setSortIndicator(sortCol_,
                                       sortAsc_ ? Qt::AscendingOrder : Qt::DescendingOrder);
  horizontalHeader()->setSortIndicatorShown(true);
}

void StringGrid::attachPopupMenu(QMenu* menu) {
  if (popup_ == menu) return;
  if (popup_) DetachMenuShortcuts(this, popup_);
  popup_ = menu;
  if (popup_) AttachMenuShortcuts(this, popup_);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex idx = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton) {
    QTableView::mousePressEvent(event);
  } else {
    setFocus(Qt::MouseFocusReason);
    event->accept();
  }
  if (mouseDown) mouseDown(event->button(), event->modifiers(), event->position().toPoint());
  if (event->button() == Qt::LeftButton && idx.isValid()) {
    const int row = model_->toGridRow(idx.row());
    const QString text = idx.data(Qt::DisplayRole).toString();
    // The system's open action: the default browser or mail program.
    if (IsLinkText(text)) QDesktopServices::openUrl(QUrl(text.trimmed()));
    if (clickCell) clickCell(row, idx.column());
  }
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (mouseUp) mouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  if (dblClickCell) dblClickCell(row_, col_);
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  QTableView::mouseMoveEvent(event);
  const QModelIndex idx = indexAt(event->position().toPoint());
  if (idx.isValid() && IsLinkText(idx.data(Qt::DisplayRole).toString()))
    viewport()->setCursor(Qt::PointingHandCursor);
  else
    viewport()->unsetCursor();
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  if (keyPressed && state() != QAbstractItemView::EditingState) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
      keyPressed(QChar(u'\r'));
    else if (!event->text().isEmpty())
      keyPressed(event->text().at(0));
  }
  QTableView::keyPressEvent(event);
}

bool StringGrid::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
      mouseAt_ = static_cast<QHoverEvent*>(event)->position().toPoint();
      mouseIn_ = true;
      hover_ = indexAt(mouseAt_);
      break;
    case QEvent::Enter:
      mouseAt_ = static_cast<QEnterEvent*>(event)->position().toPoint();
      mouseIn_ = true;
      break;
    case QEvent::MouseMove:
      mouseAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      mouseIn_ = true;
      break;
    case QEvent::HoverLeave:
    case QEvent::Leave:
      hover_ = QPersistentModelIndex();
      mouseIn_ = false;
      break;
    default:
      break;
  }
  return QTableView::viewportEvent(event);
}

bool StringGrid::paintPlainCells(QPaintEvent* event) {
  if (!delegate_->ownPainting() || isRightToLeft() || !showGrid() || gridStyle() != Qt::SolidLine ||
      alternatingRowColors() || !isEnabled() || state() != QAbstractItemView::NoState ||
      model_->rowCount() == 0 || model_->columnCount() == 0)
    return false;
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QColor gridColor =
      static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
  const QHeaderView* hh = horizontalHeader();
  const QHeaderView* vh = verticalHeader();
  // What the view draws differently from a plain cell: the current and the
  // selected cells, drawn here as the view would set them up, and the
  // hovered one (both as the view last saw it and as the mouse stands now),
  // left to the view; while a cell is edited the view paints it all.
  // Painting through the view a cell that needs no style costs only time.
  QModelIndexList currentCells = selectionModel()->selectedIndexes();
  currentCells.append(currentIndex());
  // Where the mouse was last seen, not asked of the window system: that is
  // a round trip to the X server at every paint.
  const QModelIndex hovered[] = {hover_, mouseIn_ ? indexAt(mouseAt_) : QModelIndex()};
  auto isIn = [](const auto& cells, int row, int col) {
    for (const QModelIndex& i : cells)
      if (i.row() == row && i.column() == col) return true;
    return false;
  };
  const bool focus = (hasFocus() || viewport()->hasFocus()) && currentIndex().isValid();
  // Every cell once, over the whole of what is to be painted; the painter
  // keeps to the region itself.
  QRect dirty = event->region().boundingRect();
  dirty.setBottom(std::min(dirty.bottom(), vh->length() - vh->offset() - 1));
  dirty.setRight(std::min(dirty.right(), hh->length() - hh->offset() - 1));
  QRegion styled;
  {
    QPainter p(viewport());
    int left = hh->visualIndexAt(dirty.left());
    int right = hh->visualIndexAt(dirty.right());
    if (left == -1) left = 0;
    if (right == -1) right = hh->count() - 1;
    int top = vh->visualIndexAt(dirty.top());
    int bottom = vh->visualIndexAt(dirty.bottom());
    if (bottom == -1) bottom = vh->count() - 1;
    if (top == -1 || top > bottom || dirty.isEmpty()) return true;
    // The columns' places once, not once a cell.
    struct Column {
      int col, x, width;
    };
    QVarLengthArray<Column, 32> columns;
    for (int h = left; h <= right; ++h) {
      const int col = hh->logicalIndex(h);
      if (!hh->isSectionHidden(col))
        columns.append({col, columnViewportPosition(col), columnWidth(col)});
    }
    // The grid lines, one pixel at the bottom of each row and the right of
    // each column, drawn after the cells.
    QVarLengthArray<int, 64> rowLines;
    QVarLengthArray<int, 32> columnLines;
    for (const Column& c : columns) columnLines.append(c.x + c.width - 1);
    delegate_->beginTextBatch(&p);
    for (int v = top; v <= bottom; ++v) {
      const int row = vh->logicalIndex(v);
      if (vh->isSectionHidden(row)) continue;
      const int rowY = rowViewportPosition(row);
      const int rowH = rowHeight(row) - 1;
      rowLines.append(rowY + rowH);
      const int gridRow = model_->toGridRow(row);
      for (const Column& c : columns) {
        const int col = c.col;
        const QRect cell(c.x, rowY, c.width - 1, rowH);
        option.rect = cell;
        if (isIn(hovered, row, col)) {
          styled += cell;
        } else if (isIn(currentCells, row, col)) {
          if (!paintCurrentCell(p, option, row, col, focus)) styled += cell;
        } else if (!delegate_->paintPlain(&p, option, col, gridRow)) {
          styled += cell;
        }
      }
    }
    delegate_->drawTextBatch(&p);
    DrawGridLines(p, {dirty, rowLines, columnLines}, gridColor);
  }
  if (!styled.isEmpty()) {
    QPaintEvent rest(styled);
    QTableView::paintEvent(&rest);
  }
  return true;
}

bool StringGrid::paintCurrentCell(QPainter& p, const QStyleOptionViewItem& option, int row, int col,
                                  bool focus) const {
  const QModelIndex index = model_->index(row, col);
  if (!(model_->flags(index) & Qt::ItemIsEnabled)) return false;
  QStyleOptionViewItem opt = option;
  if (selectionModel()->isSelected(index)) opt.state |= QStyle::State_Selected;
  opt.palette.setCurrentColorGroup(QPalette::Normal);
  if (focus && index == currentIndex()) opt.state |= QStyle::State_HasFocus;
  return delegate_->paintCurrent(&p, opt, index);
}

void StringGrid::paintEvent(QPaintEvent* event) {
  if (!paintPlainCells(event)) QTableView::paintEvent(event);
  if (prepareQueued_) return;
  prepareQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    prepareQueued_ = false;
    prepareNearbyRows();
  });
}

void StringGrid::prepareNearbyRows() {
  const QWidget* vp = viewport();
  const int top = rowAt(0);
  if (!isVisible() || top < 0) return;
  int bottom = rowAt(vp->height() - 1);
  if (bottom < 0) bottom = model_->rowCount() - 1;
  const int page = bottom - top + 1;
  int left = columnAt(0);
  int right = columnAt(vp->width() - 1);
  if (left < 0) left = 0;
  if (right < 0) right = model_->columnCount() - 1;
  std::vector<std::pair<int, int>> cols;
  const int gridSize = showGrid() ? 1 : 0;
  for (int c = left; c <= right; ++c)
    if (!isColumnHidden(c)) cols.emplace_back(c, columnWidth(c) - gridSize);
  const int below = std::min(bottom + page, model_->rowCount() - 1);
  if (below > bottom)
    delegate_->prepareRows(model_->toGridRow(bottom + 1), model_->toGridRow(below), cols);
  const int above = std::max(top - page, 0);
  if (above < top)
    delegate_->prepareRows(model_->toGridRow(above), model_->toGridRow(top - 1), cols);
}

void StringGrid::keyReleaseEvent(QKeyEvent* event) {
  QTableView::keyReleaseEvent(event);
  if (event->isAutoRepeat()) return;
  if (keyUp) keyUp(event->key(), event->modifiers());
}

void StringGrid::contextMenuEvent(QContextMenuEvent* event) {
  if (popup_) popup_->exec(event->globalPos());
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched != horizontalHeader()->viewport()) return QTableView::eventFilter(watched, event);
  auto* me = static_cast<QMouseEvent*>(event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const QPoint p = me->position().toPoint();
      // A press on a section's edge starts resizing, not a click.
      const QHeaderView* h = horizontalHeader();
      const int section = h->logicalIndexAt(p);
      headerResizing_ = false;
      if (section >= 0) {
        const int left = h->sectionViewportPosition(section);
        const int right = left + h->sectionSize(section);
        headerResizing_ = p.x() - left < 4 || right - p.x() < 4;
      }
      setFocus(Qt::MouseFocusReason);
      if (mouseDown)
        mouseDown(me->button(), me->modifiers(), mapFromGlobal(me->globalPosition().toPoint()));
      break;
    }
    case QEvent::MouseButtonRelease: {
      if (me->button() == Qt::LeftButton && !headerResizing_) {
        const int section = horizontalHeader()->logicalIndexAt(me->position().toPoint());
        if (section >= 0) headerReleased(section);
      }
      headerResizing_ = false;
      if (mouseUp)
        mouseUp(me->button(), me->modifiers(), mapFromGlobal(me->globalPosition().toPoint()));
      break;
    }
    case QEvent::MouseButtonDblClick:
      if (dblClickCell) dblClickCell(row_, col_);
      break;
    default:
      break;
  }
  return QTableView::eventFilter(watched, event);
}

}  // namespace rix
