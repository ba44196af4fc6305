#include "widgets/GridHeader.h"

#include <QEvent>
#include <QStyleOptionHeader>

namespace rix {

GridHeader::GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

QSize GridHeader::sectionSizeFromContents(int logicalIndex) const {
  // Everything the measure reads goes into the key: the style's view of the
  // header, the section, its text and whether it shows the sort arrow.
  QStyleOptionHeader opt;
  initStyleOption(&opt);
  const QString text =
      model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
  const int arrow =
      (isSortIndicatorShown() ? 1 : 0) | (sortIndicatorSection() == logicalIndex ? 2 : 0);
  const QString key = QString::number(logicalIndex) + u'\x1f' + QString::number(opt.state) +
                      u'\x1f' + QString::number(int(opt.direction)) + u'\x1f' +
                      QString::number(arrow) + u'\x1f' + text;
  auto it = sizes_.constFind(key);
  if (it != sizes_.constEnd()) return *it;
  if (sizes_.size() > 4096) sizes_.clear();
  const QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
  sizes_.insert(key, size);
  return size;
}

void GridHeader::changeEvent(QEvent* event) {
  // A new font or style measures differently.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) sizes_.clear();
  QHeaderView::changeEvent(event);
}

}  // namespace rix
