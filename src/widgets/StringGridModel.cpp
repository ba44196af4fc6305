#include "widgets/StringGridModel.h"

#include "platform/Big5.h"

namespace rix {

StringGridModel::StringGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void StringGridModel::cellChanged(int col, int gridRow) {
  if (gridRow < fixedRows()) {
    emit headerDataChanged(Qt::Horizontal, col, col);
    return;
  }
  const QModelIndex i = index(toModelRow(gridRow), col);
  emit dataChanged(i, i);
}

void StringGridModel::rowChanged(int gridRow) {
  if (grid_.colCount() == 0) return;
  if (gridRow < fixedRows()) {
    emit headerDataChanged(Qt::Horizontal, 0, grid_.colCount() - 1);
    return;
  }
  emit dataChanged(index(toModelRow(gridRow), 0), index(toModelRow(gridRow), grid_.colCount() - 1));
}

void StringGridModel::columnImagesChanged(int col) {
  const int rows = rowCount();
  if (rows == 0) return;
  emit dataChanged(index(0, col), index(rows - 1, col),
                   {Qt::DecorationRole, Qt::AccessibleTextRole});
}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.rowCount() - fixedRows();
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.colCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = toGridRow(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return Big5Decode(DisplayPart(grid_.cell(index.column(), row)));
    case Qt::DecorationRole: {
      const int img = grid_.cellImage(index.column(), row);
      if (img >= 0 && img < images_.size()) return images_[img];
      return {};
    }
    case Qt::AccessibleTextRole: {
      const int img = grid_.cellImage(index.column(), row);
      if (img < 0 || img >= imageTexts_.size()) return {};
      const QString text = Big5Decode(grid_.cell(index.column(), row));
      return text.isEmpty() ? imageTexts_[img] : text + u' ' + imageTexts_[img];
    }
    default:
      return {};
  }
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  grid_.setCell(index.column(), toGridRow(index.row()), Big5Encode(value.toString()));
  emit dataChanged(index, index);
  return true;
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || fixedRows() == 0) return {};
  if (section < 0 || section >= grid_.colCount()) return {};
  return Big5Decode(DisplayPart(grid_.cell(section, 0)));
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (editable_ && grid_.cell(index.column(), toGridRow(index.row())).size() <= kDisplayBytes)
    f |= Qt::ItemIsEditable;
  return f;
}

QByteArrayView DisplayPart(QByteArrayView cell) {
  if (cell.size() <= kDisplayBytes) return cell;
  // Big5 trail bytes overlap lead bytes, so boundaries are found from the start.
  const auto* p = reinterpret_cast<const unsigned char*>(cell.data());
  qsizetype end = 0;
  for (qsizetype next; end < kDisplayBytes; end = next) {
    next = end + (p[end] >= 0x81 && p[end] <= 0xFE ? 2 : 1);
    if (next > kDisplayBytes) break;
  }
  return cell.first(end);
}

bool IsLinkText(const QString& text) {
  return text.contains(QLatin1String("://")) || text.contains(QLatin1String("mailto:"));
}

QString LinkCaption(const QString& text) {
  qsizetype p = text.indexOf(QLatin1String("://"));
  if (p >= 0) return text.mid(p + 3);
  p = text.indexOf(QLatin1String("mailto:"));
  if (p >= 0) return text.mid(p + 7);
  return text;
}

}  // namespace rix
