#include "widgets/ExecutableFilterModel.h"

#include <QDir>
#include <QFileSystemModel>

namespace rix {

ExecutableFilterModel::ExecutableFilterModel(const QStringList& patterns, QObject* parent)
    : QSortFilterProxyModel(parent), patterns_(patterns) {}

void ExecutableFilterModel::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  invalidateFilter();
}

bool ExecutableFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (!active_) return true;
  const auto* fs = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (!fs) return true;
  const QModelIndex idx = fs->index(sourceRow, 0, sourceParent);
  const QFileInfo info = fs->fileInfo(idx);
  if (info.isDir()) return true;
  if (QDir::match(patterns_, info.fileName())) return true;
  return info.isExecutable();
}

}  // namespace rix
