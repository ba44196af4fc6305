#pragma once

#include <QHash>
#include <QHeaderView>
#include <QSize>

namespace rix {

// The string grid's column header. A header works out its height from the
// size of every section's text, and the grid asks for it again after every
// load, column change and reset; a text's size is therefore measured once
// for as long as nothing it depends on changes, instead of at each asking.
// The grid's model gives a header section only its text.
class GridHeader : public QHeaderView {
  Q_OBJECT

public:
  explicit GridHeader(QWidget* parent = nullptr);

protected:
  QSize sectionSizeFromContents(int logicalIndex) const override;
  void changeEvent(QEvent* event) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;

private:
  QSize measure(int logicalIndex) const;

  mutable QHash<QString, QSize> sizes_;
};

}  // namespace rix
