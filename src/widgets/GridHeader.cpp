#include "widgets/GridHeader.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
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
  const QSize size = measure(logicalIndex);
  sizes_.insert(key, size);
  return size;
}

QSize GridHeader::measure(int logicalIndex) const {
  // The view measures a section in bold, to leave room for a highlighted
  // section's bold text. This header never highlights one, so a section is
  // measured as it is drawn, in the header's own font, whose glyphs the
  // grid has met already: the bold face would be loaded, and every glyph
  // of the captions measured, for nothing but the header's height, which
  // comes out the same.
  if (highlightSections()) return QHeaderView::sectionSizeFromContents(logicalIndex);
  ensurePolished();
  QStyleOptionHeader opt;
  initStyleOption(&opt);
  opt.section = logicalIndex;
  opt.fontMetrics = QFontMetrics(font());
  opt.text = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
  QSize size = style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), this);
  if (isSortIndicatorShown()) {
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &opt, this);
    if (orientation() == Qt::Horizontal)
      size.rwidth() += size.height() + margin;
    else
      size.rheight() += size.width() + margin;
  }
  return size;
}

QRegion GridHeader::visualRegionForSelection(const QItemSelection& selection) const {
  // A header that does not highlight draws a selected column's caption as
  // any other: a new selection, at every move of the cursor, leaves it as it is.
  if (!highlightSections()) return {};
  return QHeaderView::visualRegionForSelection(selection);
}

void GridHeader::changeEvent(QEvent* event) {
  // A new font or style measures differently.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) sizes_.clear();
  QHeaderView::changeEvent(event);
}

}  // namespace rix
