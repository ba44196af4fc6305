#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QVector>

#include "widgets/GridData.h"

namespace rix {

// Item model over a grid's byte cells. Row 0 of the grid is the fixed header
// row, shown in the horizontal header, while the grid has a data row; a grid
// of one row shows that row as a plain row. Texts are decoded only when asked
// for.
class StringGridModel : public QAbstractTableModel {
  Q_OBJECT

public:
  explicit StringGridModel(QObject* parent = nullptr);

  GridData& grid() { return grid_; }
  const GridData& grid() const { return grid_; }

  // 1 while row 0 is the fixed header row, else 0.
  int fixedRows() const { return grid_.rowCount() > 1 ? 1 : 0; }
  int toGridRow(int modelRow) const { return modelRow + fixedRows(); }
  int toModelRow(int gridRow) const { return gridRow - fixedRows(); }

  void setImages(const QVector<QPixmap>& images) { images_ = images; }
  const QVector<QPixmap>& images() const { return images_; }
  // What each image says, for screen readers: a cell with an image is read
  // as its text followed by the image's text.
  void setImageTexts(const QStringList& texts) { imageTexts_ = texts; }
  void setEditable(bool on) { editable_ = on; }
  bool editable() const { return editable_; }

  // Changes made to grid() directly are announced with these.
  void beginChange() { beginResetModel(); }
  void endChange() { endResetModel(); }
  void cellChanged(int col, int gridRow);
  void rowChanged(int gridRow);
  void columnImagesChanged(int col);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  GridData grid_;
  QVector<QPixmap> images_;
  QStringList imageTexts_;
  bool editable_ = false;
};

// Cells longer than this many bytes are shown and measured by their first
// part only, cut at a character boundary; their bytes stay whole in the grid,
// in saves and in exports. They are not edited in place, since the editor
// would keep only what it shows.
constexpr qsizetype kDisplayBytes = 32767;
QByteArrayView DisplayPart(QByteArrayView cell);

// A text that contains "://" or "mailto:" is shown as a link, without its
// beginning up to and including that mark.
bool IsLinkText(const QString& text);
QString LinkCaption(const QString& text);

}  // namespace rix
