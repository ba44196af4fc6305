#pragma once

#include <QTableView>
#include <functional>

#include "widgets/StringGridModel.h"

class QMenu;

namespace rix {

class GridDelegate;

// The program's string grid: byte cells with a fixed header row, no fixed
// column, cell images, link cells, header sorting, column fitting and cell
// editors chosen per column. Rows and columns use the grid's numbering (row 0
// is the header row) everywhere in this interface.
class StringGrid : public QTableView {
  Q_OBJECT

public:
  enum class EditorKind { Plain, Ellipsis, DropDown };

  explicit StringGrid(QWidget* parent = nullptr);

  GridData& data() { return model_->grid(); }
  const GridData& data() const { return model_->grid(); }
  StringGridModel* gridModel() const { return model_; }
  GridDelegate* gridDelegate() const { return delegate_; }

  int rowCount() const { return data().rowCount(); }
  int colCount() const { return data().colCount(); }
  void setRowCount(int rows);
  void setColCount(int cols);
  int fixedRows() const { return model_->fixedRows(); }

  // The cursor (current cell).
  int row() const { return row_; }
  int col() const { return col_; }
  void setRow(int row);
  void setCol(int col);
  void setCursor(int col, int row);

  QByteArrayView cell(int col, int row) const { return data().cell(col, row); }
  void setCell(int col, int row, QByteArrayView text);
  void clearCells();
  void clearRow(int row);
  void insertRow(int at) { insertRows(at, 1); }
  void insertRows(int at, int count);
  void removeRow(int at);
  void setCellImage(int col, int row, int index);
  int cellImage(int col, int row) const { return data().cellImage(col, row); }
  void setImages(const QVector<QPixmap>& images);
  void setImageTexts(const QStringList& texts) { model_->setImageTexts(texts); }

  // Wraps changes made to data() directly (bulk loads): the view is rebuilt
  // once at the end and the cursor kept where it was, within the new bounds.
  void beginBulkChange();
  void endBulkChange();
  // Announces that column `col`'s images were set through data() for every
  // row and nothing else changed: only that column is drawn again, the view
  // and its cursor stay as they are.
  void columnImagesChanged(int col);
  // Draws the visible cells now, before control returns to the event loop,
  // so that they are on screen while the caller still works.
  void paintNow();

  // Fits every column to the widest of its texts (header row included) in the
  // grid's font, plus the width of "xx" and 10 pixels.
  void autoSizeColumns();

  bool editMode() const { return model_->editable(); }
  void setEditMode(bool on);

  QStringList dropDownItems() const { return dropDownItems_; }
  void setDropDownItems(const QStringList& items) { dropDownItems_ = items; }

  // Header sorting: the column last sorted by and its direction.
  int sortColumn() const { return sortCol_; }
  bool sortAscending() const { return sortAsc_; }
  // What a left-button release over header cell `col` does.
  void headerReleased(int col);

  // The popup menu; its actions' shortcuts work while the grid has the focus.
  void attachPopupMenu(QMenu* menu);
  QMenu* popupMenu() const { return popup_; }

  // Handlers of the owning window. Row and column are grid numbers.
  std::function<EditorKind(int col, int row)> getEditorType;
  std::function<void(int col, int row, QByteArray& value)> ellipsClick;
  std::function<void(int row, int col)> clickCell;  // left press on a cell
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> mouseDown;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> mouseUp;
  std::function<void(int row, int col)> dblClickCell;
  std::function<void(int key, Qt::KeyboardModifiers)> keyUp;
  std::function<void(QChar key)> keyPressed;  // characters, Enter as '\r'

  EditorKind editorKindAt(int col, int row) const;

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void paintEvent(QPaintEvent* event) override;
  bool viewportEvent(QEvent* event) override;

private:
  // Paints the cells that need no style and the grid lines itself, and hands
  // the rest (current, selected, hovered, linked or elided cells) to the
  // table view; false when the view must paint everything (editing,
  // dragging, a layout it does not draw).
  bool paintPlainCells(QPaintEvent* event);
  // The current or a selected cell with the states the view gives it; false
  // when it needs the view.
  bool paintCurrentCell(QPainter& p, const QStyleOptionViewItem& option, int row, int col,
                        bool focus) const;
  void syncViewCursor();
  // Lays out the texts of the page above and the page below the rows shown,
  // once the event loop is idle after a paint, so that paging meets them laid out.
  void prepareNearbyRows();

  StringGridModel* model_;
  GridDelegate* delegate_;
  int row_ = 1;
  int col_ = 0;
  int sortCol_ = 0;
  bool sortAsc_ = true;
  bool syncing_ = false;
  int bulkDepth_ = 0;
  QStringList dropDownItems_;
  QMenu* popup_ = nullptr;
  bool headerResizing_ = false;  // the header was pressed on a section edge
  bool prepareQueued_ = false;
  QPersistentModelIndex hover_;  // the cell the mouse last hovered in the viewport
  QPoint mouseAt_;               // where the mouse was last seen in the viewport
  bool mouseIn_ = false;
};

}  // namespace rix
