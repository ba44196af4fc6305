#include "options/FixedGrid.h"

#include <QHeaderView>

namespace rix {

FixedGrid::FixedGrid(int columns, int rows, const QList<int>& columnWidths, int rowHeight,
                     QWidget* parent)
    : QTableWidget(parent) {
  // Headers hidden before there are sections: the view does not measure them.
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setRowCount(rows);
  setColumnCount(columns);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTabKeyNavigation(false);
  setShowGrid(true);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);  // narrow caption cells clip their text

  // The style's minimum section size would otherwise overrule small rows.
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
  }
  for (int c = 0; c < columns; ++c) setColumnWidth(c, columnWidths.value(c, 64));
  verticalHeader()->setDefaultSectionSize(rowHeight);
  for (int r = 0; r < rows; ++r) setRowHeight(r, rowHeight);

  const QBrush fixedBrush = palette().brush(QPalette::Button);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      auto* cell = new QTableWidgetItem;
      if (r == 0 || c == 0) {
        // Not selectable: a click on a caption selects nothing, and
        // keepOffFixedCells() takes the cursor back to a key cell.
        cell->setFlags(Qt::ItemIsEnabled);
        cell->setBackground(fixedBrush);
      } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      }
      setItem(r, c, cell);
    }
  }
  if (rows > 1 && columns > 1) setCurrentCell(1, 1);
  connect(this, &QTableWidget::currentCellChanged, this, &FixedGrid::keepOffFixedCells);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString FixedGrid::cellText(int column, int row) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text() : QString();
}

void FixedGrid::setCellText(int column, int row, const QString& text) {
  if (QTableWidgetItem* cell = item(row, column)) cell->setText(text);
}

QSize FixedGrid::sizeHint() const {
  int width = 2 * frameWidth();
  for (int c = 0; c < columnCount(); ++c) width += columnWidth(c);
  int height = 2 * frameWidth();
  for (int r = 0; r < rowCount(); ++r) height += rowHeight(r);
  return {width, height};
}

void FixedGrid::keepOffFixedCells(int row, int column, int previousRow, int previousColumn) {
  if (row < 0 || column < 0 || (row > 0 && column > 0)) return;
  if (rowCount() < 2 || columnCount() < 2) return;  // no cell to move to
  // A click on a caption leaves the cursor where it was (or on the first cell).
  const bool previousOk = previousRow > 0 && previousColumn > 0;
  setCurrentCell(previousOk ? previousRow : 1, previousOk ? previousColumn : 1);
}

}  // namespace rix
