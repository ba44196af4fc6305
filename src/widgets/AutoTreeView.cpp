#include "widgets/AutoTreeView.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>

#include "platform/Big5.h"
#include "widgets/Big5CaptionDelegate.h"

using rix::DropPlace;

namespace {

const char kDragFormat[] = "application/x-rixfront-treenode";
const QColor kNavy(0, 0, 128);
const QColor kLineGrey(128, 128, 128);

QTreeWidgetItem* Container(QTreeWidget* tree, QTreeWidgetItem* item) {
  return item->parent() ? item->parent() : tree->invisibleRootItem();
}

bool HasNextSibling(const QTreeWidget* tree, const QTreeWidgetItem* item) {
  if (const QTreeWidgetItem* p = item->parent())
    return p->indexOfChild(const_cast<QTreeWidgetItem*>(item)) < p->childCount() - 1;
  return tree->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) <
         tree->topLevelItemCount() - 1;
}

void CollectExpanded(QTreeWidgetItem* item, QList<QTreeWidgetItem*>* out) {
  if (item->isExpanded()) out->append(item);
  for (int i = 0; i < item->childCount(); ++i) CollectExpanded(item->child(i), out);
}

// Every other pixel, as the classic tree lines are drawn.
void DottedVertical(QPainter* p, int x, int y0, int y1) {
  for (int y = y0 + ((y0 ^ x) & 1); y <= y1; y += 2) p->drawPoint(x, y);
}

void DottedHorizontal(QPainter* p, int y, int x0, int x1) {
  for (int x = x0 + ((x0 ^ y) & 1); x <= x1; x += 2) p->drawPoint(x, y);
}

// A game cartridge; the selected node's one is lit.
QPixmap DrawNodeImage(bool selected) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QColor(40, 40, 60));
  p.setBrush(selected ? QColor(70, 110, 210) : QColor(130, 138, 156));
  p.drawRect(2, 1, 11, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(selected ? QColor(255, 230, 90) : QColor(228, 228, 212));
  p.drawRect(4, 3, 8, 5);
  p.setBrush(QColor(200, 160, 40));
  for (int x = 4; x <= 11; x += 2) p.drawRect(x, 13, 1, 2);
  p.setBrush(selected ? QColor(60, 220, 60) : QColor(90, 90, 90));
  p.drawRect(10, 10, 2, 1);
  return pm;
}

QPixmap DrawCopyCursor() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  // The tip sits at the centre, where QCursor puts the hot spot of a pixmap.
  const QPoint arrow[] = {{16, 16}, {16, 28}, {19, 25}, {21, 29}, {23, 28}, {21, 24}, {25, 24}};
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawPolygon(arrow, int(std::size(arrow)));
  p.setBrush(Qt::white);
  p.drawRect(23, 23, 8, 8);
  p.drawLine(25, 27, 29, 27);
  p.drawLine(27, 25, 27, 29);
  return pm;
}

// Draws each node with the image its tree chooses for it at that moment.
class NodeDelegate : public rix::Big5CaptionDelegate {
public:
  NodeDelegate(TAutoTreeView* tree)
      : Big5CaptionDelegate(TAutoTreeView::CaptionRole, tree), tree_(tree) {}

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    Big5CaptionDelegate::initStyleOption(option, index);
    const QIcon icon = tree_->NodeIcon(index, option->state & QStyle::State_Selected);
    if (icon.isNull()) return;
    option->icon = icon;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = tree_->iconSize();
  }

private:
  TAutoTreeView* tree_;
};

}  // namespace

TAutoTreeView::TAutoTreeView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  setHeaderHidden(true);
  // A caption wider than the area is shown whole and scrolled to sideways.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setIndentation(kIndentation);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setIconSize(QSize(16, 16));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);  // our own line and frame instead
  // Highlight the node itself, not the lines and buttons beside it.
  setStyleSheet(QStringLiteral("TAutoTreeView { show-decoration-selected: 0; }"));
  setItemDelegate(new NodeDelegate(this));
  SetImages({NodeImage(0), NodeImage(1)});

  scrollTimer_.setInterval(60);
  connect(&scrollTimer_, &QTimer::timeout, this, &TAutoTreeView::ScrollTick);
  connect(this, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentChanged(current); });
}

QPixmap TAutoTreeView::NodeImage(int index) { return DrawNodeImage(index == 1); }

void TAutoTreeView::SetImages(const QVector<QPixmap>& images) {
  images_.clear();
  for (const QPixmap& pm : images) {
    // The same picture in both modes: the style would tint a selected one.
    QIcon icon;
    icon.addPixmap(pm, QIcon::Normal);
    icon.addPixmap(pm, QIcon::Selected);
    images_.append(icon);
  }
  viewport()->update();
}

QIcon TAutoTreeView::NodeIcon(const QModelIndex& index, bool selected) const {
  QTreeWidgetItem* node = itemFromIndex(index);
  if (!node) return {};
  const int image = selected ? (getSelectedIndex ? getSelectedIndex(node) : 1)
                             : (getImageIndex ? getImageIndex(node) : 0);
  return images_.value(image);
}

QPixmap TAutoTreeView::CopyCursorImage() { return DrawCopyCursor(); }

QTreeWidgetItem* TAutoTreeView::MakeItem(const QByteArray& caption, int key) const {
  auto* item = new QTreeWidgetItem;
  item->setData(0, CaptionRole, caption);
  item->setData(0, KeyRole, key);
  item->setText(0, rix::Big5Decode(caption));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable |
                 Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
  return item;
}

void TAutoTreeView::LoadNodes(const rix::TreeNodeList& nodes) {
  setUpdatesEnabled(false);
  clear();
  // Built detached and added in one step: no model signal per node.
  std::vector<QTreeWidgetItem*> made;
  made.reserve(nodes.size());
  QList<QTreeWidgetItem*> tops;
  for (const rix::TreeNodeRecord& rec : nodes) {
    QTreeWidgetItem* item = MakeItem(rec.caption, rec.key);
    if (rec.parent >= 0 && static_cast<size_t>(rec.parent) < made.size())
      made[rec.parent]->addChild(item);
    else
      tops.append(item);
    made.push_back(item);
  }
  addTopLevelItems(tops);
  setUpdatesEnabled(true);
}

bool TAutoTreeView::SelectFirstNode() {
  if (topLevelItemCount() == 0) return false;
  setCurrentItem(topLevelItem(0));
  return true;
}

int TAutoTreeView::NodeKey(const QTreeWidgetItem* node) {
  if (!node) return -1;
  const QVariant v = node->data(0, KeyRole);
  return v.isValid() ? v.toInt() : -1;
}

QByteArray TAutoTreeView::NodeCaption(const QTreeWidgetItem* node) {
  return node ? node->data(0, CaptionRole).toByteArray() : QByteArray();
}

void TAutoTreeView::OnCurrentChanged(QTreeWidgetItem* current) {
  // Focus may make a node current without selecting it; the two stay one.
  if (current && !current->isSelected())
    selectionModel()->select(indexFromItem(current),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (!quiet_) emit NodeChanged(current);
}

bool TAutoTreeView::MoveNode(QTreeWidgetItem* node, QTreeWidgetItem* target, DropPlace place) {
  if (!node || !target || place == DropPlace::Refused || rix::IsSameOrDescendant(node, target) ||
      node->treeWidget() != this || target->treeWidget() != this)
    return false;
  QTreeWidgetItem* const selected = currentItem();
  QList<QTreeWidgetItem*> expanded;
  CollectExpanded(node, &expanded);  // taking a node out forgets what was open
  {
    quiet_ = true;
    auto restore = qScopeGuard([this] { quiet_ = false; });
    QTreeWidgetItem* from = Container(this, node);
    from->takeChild(from->indexOfChild(node));
    QTreeWidgetItem* into;
    int index;
    if (place == DropPlace::Child) {
      into = target;
      index = target->childCount();
    } else {
      into = Container(this, target);
      index = into->indexOfChild(target) + (place == DropPlace::After ? 1 : 0);
    }
    into->insertChild(index, node);
    if (place == DropPlace::Child) target->setExpanded(true);
    for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
    if (selected) setCurrentItem(selected);
  }
  if (currentItem() != selected) emit NodeChanged(currentItem());
  scrollToItem(node);
  return true;
}

QTreeWidgetItem* TAutoTreeView::CopySubtree(const QTreeWidgetItem* node) const {
  QTreeWidgetItem* copy = MakeItem(NodeCaption(node), -1);
  for (int i = 0; i < node->childCount(); ++i) copy->addChild(CopySubtree(node->child(i)));
  return copy;
}

QTreeWidgetItem* TAutoTreeView::CopyNode(QTreeWidgetItem* node, QTreeWidgetItem* target) {
  if (!node || !target || rix::IsSameOrDescendant(node, target) || target->treeWidget() != this)
    return nullptr;
  QTreeWidgetItem* copy = CopySubtree(node);
  target->addChild(copy);
  target->setExpanded(true);
  scrollToItem(copy);
  return copy;
}

bool TAutoTreeView::DropAt(QTreeWidgetItem* dragged, const QPoint& viewportPos, bool copy) {
  QTreeWidgetItem* target = itemAt(viewportPos);
  const QRect row = target ? visualItemRect(target) : QRect();
  const DropPlace place =
      rix::DecideDrop(dragged, target, row.top(), row.height(), viewportPos.y(), copy);
  if (place == DropPlace::Refused) return false;
  if (copy) return CopyNode(dragged, target) != nullptr;
  return MoveNode(dragged, target, place);
}

bool TAutoTreeView::DeleteSelected() {
  QTreeWidgetItem* node = currentItem();
  if (!node || !confirm_) return false;
  const QString text =
      QStringLiteral("是否確定刪除？") + u' ' + u'"' + rix::Big5Decode(NodeCaption(node)) + u'"';
  if (!confirm_(text)) return false;
  // The confirmation may have run an event loop; the node must still be ours.
  if (currentItem() != node) return false;
  delete node;
  return true;
}

void TAutoTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState &&
      currentItem()) {
    DeleteSelected();
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void TAutoTreeView::mousePressEvent(QMouseEvent* event) {
  // The right button opens the popup menu; it does not pick another emulator.
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTreeWidget::mousePressEvent(event);
}

QItemSelectionModel::SelectionFlags TAutoTreeView::selectionCommand(const QModelIndex& index,
                                                                    const QEvent*) const {
  // One selected node at all times once there is one: Ctrl+click must not
  // leave a current node that is not selected.
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

QTreeWidgetItem* TAutoTreeView::DraggedItem() const {
  return dragged_.isValid() ? itemFromIndex(dragged_) : nullptr;
}

bool TAutoTreeView::IsOwnDrag(const QDropEvent* event) const {
  return event->source() == this && DraggedItem() && event->mimeData() &&
         event->mimeData()->hasFormat(kDragFormat);
}

void TAutoTreeView::startDrag(Qt::DropActions) {
  QTreeWidgetItem* node = currentItem();
  if (!node) return;
  dragged_ = indexFromItem(node);
  auto* mime = new QMimeData;
  mime->setData(kDragFormat, QByteArray());
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  drag->setPixmap(NodeImage(1));
  drag->setDragCursor(CopyCursorImage(), Qt::CopyAction);
  drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  dragged_ = QPersistentModelIndex();
  ClearDropPlace();
}

void TAutoTreeView::ShowDropPlace(const QPoint& pos, bool copy) {
  QTreeWidgetItem* target = itemAt(pos);
  const QRect row = target ? visualItemRect(target) : QRect();
  dropPlace_ = rix::DecideDrop(DraggedItem(), target, row.top(), row.height(), pos.y(), copy);
  dropTarget_ = dropPlace_ == DropPlace::Refused ? QPersistentModelIndex()
                                                 : QPersistentModelIndex(indexFromItem(target));
  viewport()->update();
}

void TAutoTreeView::ClearDropPlace() {
  scrollTimer_.stop();
  scrollDirection_ = 0;
  if (dropTarget_.isValid()) viewport()->update();
  dropTarget_ = QPersistentModelIndex();
  dropPlace_ = DropPlace::Refused;
}

void TAutoTreeView::ScrollTick() {
  QScrollBar* bar = verticalScrollBar();
  bar->triggerAction(scrollDirection_ < 0 ? QAbstractSlider::SliderSingleStepSub
                                          : QAbstractSlider::SliderSingleStepAdd);
  ShowDropPlace(lastDragPos_, lastDragCopy_);
}

void TAutoTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (!IsOwnDrag(event)) {
    event->ignore();
    return;
  }
  event->accept();
  dragMoveEvent(event);
}

void TAutoTreeView::dragMoveEvent(QDragMoveEvent* event) {
  if (!IsOwnDrag(event)) {
    event->ignore();
    return;
  }
  const bool copy = event->modifiers() & Qt::ControlModifier;
  lastDragPos_ = event->position().toPoint();
  lastDragCopy_ = copy;
  ShowDropPlace(lastDragPos_, copy);

  scrollDirection_ =
      rix::AutoScrollDirection(lastDragPos_.y(), viewport()->height(), kScrollMargin);
  if (scrollDirection_ == 0)
    scrollTimer_.stop();
  else if (!scrollTimer_.isActive())
    scrollTimer_.start();

  if (dropPlace_ == DropPlace::Refused) {
    event->ignore();
  } else {
    event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
  }
}

void TAutoTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
  ClearDropPlace();
  event->accept();
}

void TAutoTreeView::dropEvent(QDropEvent* event) {
  ClearDropPlace();
  if (!IsOwnDrag(event)) {
    event->ignore();
    return;
  }
  const bool copy = event->modifiers() & Qt::ControlModifier;
  if (DropAt(DraggedItem(), event->position().toPoint(), copy)) {
    event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void TAutoTreeView::paintEvent(QPaintEvent* event) {
  QTreeWidget::paintEvent(event);
  if (!dropTarget_.isValid() || dropPlace_ == DropPlace::Refused) return;
  const QRect r = visualRect(dropTarget_);
  if (r.isEmpty()) return;
  QPainter p(viewport());
  switch (dropPlace_) {
    case DropPlace::Before:
      p.fillRect(QRect(r.left(), r.top(), r.width(), 2), kNavy);
      break;
    case DropPlace::After:
      p.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), kNavy);
      break;
    case DropPlace::Child:
      p.setPen(kLineGrey);
      p.setBrush(Qt::NoBrush);
      p.drawRect(r.adjusted(0, 0, -1, -1));
      break;
    case DropPlace::Refused:
      break;
  }
}

void TAutoTreeView::drawBranches(QPainter* painter, const QRect& rect,
                                 const QModelIndex& index) const {
  const QTreeWidgetItem* item = itemFromIndex(index);
  if (!item) return;
  const int ind = indentation();
  const int top = rect.top();
  const int bottom = rect.bottom();
  const int midY = top + rect.height() / 2;
  int cellX = rect.right() + 1 - ind;
  const int cx = cellX + ind / 2;

  painter->save();
  painter->setPen(kLineGrey);
  const bool lineAbove =
      item->parent() || indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) > 0;
  const bool lineBelow = HasNextSibling(this, item);
  DottedVertical(painter, cx, lineAbove ? top : midY, lineBelow ? bottom : midY);
  DottedHorizontal(painter, midY, cx, cellX + ind - 2);
  for (const QTreeWidgetItem* a = item->parent(); a; a = a->parent()) {
    cellX -= ind;
    if (HasNextSibling(this, a)) DottedVertical(painter, cellX + ind / 2, top, bottom);
  }

  if (item->childCount() > 0) {
    const QRect box(cx - 4, midY - 4, 8, 8);
    painter->setBrush(palette().color(QPalette::Base));
    painter->drawRect(box);
    painter->setPen(palette().color(QPalette::Text));
    painter->drawLine(cx - 2, midY, cx + 2, midY);
    if (!item->isExpanded()) painter->drawLine(cx, midY - 2, cx, midY + 2);
  }
  painter->restore();
}
