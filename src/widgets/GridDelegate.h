#pragma once

#include <QStyledItemDelegate>

namespace rix {

class StringGrid;

// Paints link cells and creates the cell editor the grid's owner chooses for
// each column: a plain text box, a text box with an ellipsis button, or a
// drop-down list.
class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit GridDelegate(StringGrid* grid);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

private:
  StringGrid* grid_;
};

}  // namespace rix
