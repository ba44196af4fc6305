#pragma once

#include <QIcon>
#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "widgets/TreeDropLogic.h"
#include "widgets/TreeNodeRecord.h"

// The emulator tree: nodes with a Big5 caption and an optional key, which the
// user may rearrange by drag and drop, copy (Ctrl while dropping), rename in
// place and delete. None of it is written anywhere; a load replaces it all.
// The selected node is the current item; selection always follows it.
class TAutoTreeView : public QTreeWidget {
  Q_OBJECT

public:
  static constexpr int CaptionRole = Qt::UserRole + 1;  // QByteArray, Big5
  static constexpr int KeyRole = Qt::UserRole + 2;      // int
  static constexpr int kIndentation = 19;
  static constexpr int kScrollMargin = 16;

  // Asked before a node is deleted; true goes ahead.
  using ConfirmFn = std::function<bool(const QString& text)>;

  explicit TAutoTreeView(QWidget* parent = nullptr);

  // Replaces all nodes; drawing is held back until the end.
  void LoadNodes(const rix::TreeNodeList& nodes);

  QTreeWidgetItem* Selected() const { return currentItem(); }
  // Selects the first top-level node; false when the tree is empty.
  bool SelectFirstNode();
  // The node's key; -1 for no node or a node without key.
  static int NodeKey(const QTreeWidgetItem* node);
  static QByteArray NodeCaption(const QTreeWidgetItem* node);

  void SetConfirm(ConfirmFn confirm) { confirm_ = std::move(confirm); }

  // Moves node with its subtree to the place relative to target. Refused for
  // a target inside the node's own subtree. The selected node stays selected.
  bool MoveNode(QTreeWidgetItem* node, QTreeWidgetItem* target, rix::DropPlace place);
  // Copies node and its subtree, captions only (no keys), as the last child of
  // target, which is expanded. Returns the copy, or nullptr when refused.
  QTreeWidgetItem* CopyNode(QTreeWidgetItem* node, QTreeWidgetItem* target);
  // Drops dragged at a point of the viewport, as a mouse drop would.
  bool DropAt(QTreeWidgetItem* dragged, const QPoint& viewportPos, bool copy);
  // Asks through the confirm callback, then deletes the selected node and its
  // subtree. Without a callback nothing is deleted.
  bool DeleteSelected();

  // The tree's own images: 0 for a node, 1 for the selected node.
  static QPixmap NodeImage(int index);
  // The image list the nodes are drawn from (the tree's own two at start),
  // and the owner's choice among them, asked whenever a node is drawn: the
  // image of a node, and the image of the selected node. Without a handler a
  // node shows image 0 and the selected node image 1.
  void SetImages(const QVector<QPixmap>& images);
  std::function<int(QTreeWidgetItem* node)> getImageIndex;
  std::function<int(QTreeWidgetItem* node)> getSelectedIndex;
  // What a node is drawn with, selected or not; null for an index outside the list.
  QIcon NodeIcon(const QModelIndex& index, bool selected) const;
  // Pointer shape while a drag would copy; the hot spot is its centre.
  static QPixmap CopyCursorImage();

signals:
  // The selected node changed, by mouse, keyboard, deletion or load; node may be null.
  void NodeChanged(QTreeWidgetItem* node);

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

private:
  QTreeWidgetItem* MakeItem(const QByteArray& caption, int key) const;
  QTreeWidgetItem* CopySubtree(const QTreeWidgetItem* node) const;
  QTreeWidgetItem* DraggedItem() const;
  bool IsOwnDrag(const QDropEvent* event) const;
  void ShowDropPlace(const QPoint& pos, bool copy);
  void ClearDropPlace();
  void ScrollTick();
  void OnCurrentChanged(QTreeWidgetItem* current);

  ConfirmFn confirm_;
  QVector<QIcon> images_;
  bool quiet_ = false;  // no notifications while nodes are rearranged
  QPersistentModelIndex dragged_;
  QPersistentModelIndex dropTarget_;
  rix::DropPlace dropPlace_ = rix::DropPlace::Refused;
  QPoint lastDragPos_;
  bool lastDragCopy_ = false;
  int scrollDirection_ = 0;
  QTimer scrollTimer_;
};
