#pragma once

#include <QList>
#include <QTableWidget>

namespace rix {

// A small grid of text cells whose row 0 and column 0 are fixed captions, as
// wide and high as its cells so that it never scrolls. The current cell is
// always a non-fixed one, and typing neither edits nor searches.
class FixedGrid : public QTableWidget {
  Q_OBJECT
public:
  FixedGrid(int columns, int rows, const QList<int>& columnWidths, int rowHeight,
            QWidget* parent = nullptr);

  QString cellText(int column, int row) const;
  void setCellText(int column, int row, const QString& text);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

  void keyboardSearch(const QString&) override {}

private:
  void keepOffFixedCells(int row, int column, int previousRow, int previousColumn);
};

}  // namespace rix
