#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

namespace rix {

// Sits between a file dialog and its file-system model. While `active`, it
// lists folders, the files matching `patterns` (any case) and every file that
// may be run, whatever its name: programs here seldom end in .exe. Inactive,
// it passes everything the dialog's own filter lets through.
class ExecutableFilterModel : public QSortFilterProxyModel {
  Q_OBJECT

public:
  explicit ExecutableFilterModel(const QStringList& patterns, QObject* parent = nullptr);
  void setActive(bool active);
  bool isActive() const { return active_; }

protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
  QStringList patterns_;
  bool active_ = true;
};

}  // namespace rix
