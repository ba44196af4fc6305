#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "TestSupport.h"
#include "widgets/AutoTreeView.h"

using namespace Qt::StringLiterals;

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using rix::DropPlace;

void Walk(const QTreeWidgetItem* item, int depth, QStringList* out) {
  *out
      << QStringLiteral("%1 %2 %3").arg(depth).arg(item->text(0)).arg(TAutoTreeView::NodeKey(item));
  for (int i = 0; i < item->childCount(); ++i) Walk(item->child(i), depth + 1, out);
}

// "depth caption key" per node, depth first.
QStringList Outline(const TAutoTreeView& view) {
  QStringList out;
  for (int i = 0; i < view.topLevelItemCount(); ++i) Walk(view.topLevelItem(i), 0, &out);
  return out;
}

class AutoTreeViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    view.resize(300, 400);
    view.LoadNodes({
        {"A", -1, -1},
        {"A1", 1, 0},
        {"A1x", 11, 1},
        {"A2", 2, 0},
        {"B", -1, -1},
        {"B1", 3, 4},
        {rixtest::Big5(u"街機"_s), 4, -1},
    });
    view.SetConfirm([this](const QString& text) {
      asked << text;
      return answer;
    });
  }

  QTreeWidgetItem* Find(const QString& caption) {
    const auto found = view.findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
  }

  void Show() {
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }

  TAutoTreeView view;
  QAbstractItemModelTester tester{view.model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal};
  QStringList asked;
  bool answer = true;
};

TEST_F(AutoTreeViewTest, LoadBuildsNodesWithCaptionBytesAndKeys) {
  EXPECT_EQ(Outline(view), (QStringList{"0 A -1", "1 A1 1", "2 A1x 11", "1 A2 2", "0 B -1",
                                        "1 B1 3", u"0 街機 4"_s}));
  QTreeWidgetItem* arcade = view.topLevelItem(2);
  EXPECT_EQ(TAutoTreeView::NodeCaption(arcade), rixtest::Big5(u"街機"_s));
  EXPECT_EQ(TAutoTreeView::NodeKey(nullptr), -1);
  EXPECT_EQ(view.indentation(), 19);
  EXPECT_TRUE(view.rootIsDecorated());

  // A load replaces everything; parents that do not come earlier go to the top.
  view.LoadNodes({{"X", 5, -1}, {"Y", 6, 7}});
  EXPECT_EQ(Outline(view), (QStringList{"0 X 5", "0 Y 6"}));
  view.LoadNodes({});
  EXPECT_EQ(view.topLevelItemCount(), 0);
  EXPECT_FALSE(view.SelectFirstNode());
}

TEST_F(AutoTreeViewTest, ACaptionWiderThanTheTreeScrollsSideways) {
  view.resize(120, 200);
  view.LoadNodes({{"A", -1, -1}, {rixtest::Big5(u"街機合輯 (目錄一) 很長的名稱"_s), 1, 0}});
  view.expandAll();
  Show();
  QTreeWidgetItem* wide = view.topLevelItem(0)->child(0);
  const int textWidth = view.fontMetrics().horizontalAdvance(wide->text(0));
  EXPECT_GE(view.visualItemRect(wide).width(), textWidth);
  EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
}

TEST_F(AutoTreeViewTest, NodesAreDrawnWithTheImagesTheirHandlersChoose) {
  const QModelIndex first = view.model()->index(0, 0);
  auto image = [&](bool selected) {
    return view.NodeIcon(first, selected).pixmap(16, 16, QIcon::Selected).toImage();
  };
  EXPECT_EQ(image(false), TAutoTreeView::NodeImage(0).toImage());
  EXPECT_EQ(image(true), TAutoTreeView::NodeImage(1).toImage());
  EXPECT_NE(image(false), image(true));
  QList<QTreeWidgetItem*> chosenFor;
  view.getSelectedIndex = [&](QTreeWidgetItem* node) {
    chosenFor << node;
    return 0;
  };
  EXPECT_EQ(image(true), TAutoTreeView::NodeImage(0).toImage());
  EXPECT_EQ(chosenFor, QList<QTreeWidgetItem*>{view.topLevelItem(0)});
  // Drawing asks too.
  Show();
  view.setCurrentItem(view.topLevelItem(0));
  chosenFor.clear();
  view.grab();
  EXPECT_TRUE(chosenFor.contains(view.topLevelItem(0)));
}

TEST_F(AutoTreeViewTest, SelectionChangesAreReportedForKeysAndFirstNode) {
  Show();
  view.LoadNodes({{"A", -1, -1}, {"A1", 1, 0}, {"B", -1, -1}, {"B1", 3, 2}});
  QSignalSpy spy(&view, &TAutoTreeView::NodeChanged);
  EXPECT_TRUE(view.SelectFirstNode());
  ASSERT_EQ(spy.size(), 1);
  EXPECT_EQ(spy.takeFirst().at(0).value<QTreeWidgetItem*>(), view.topLevelItem(0));
  EXPECT_EQ(view.Selected(), view.topLevelItem(0));

  view.setFocus();
  QTest::keyClick(&view, Qt::Key_Down);  // A is collapsed: the next node is B
  ASSERT_EQ(spy.size(), 1);
  EXPECT_EQ(spy.takeFirst().at(0).value<QTreeWidgetItem*>(), Find("B"));
  QTest::keyClick(&view, Qt::Key_Right);  // expands B
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(view.Selected(), Find("B1"));
  EXPECT_EQ(TAutoTreeView::NodeKey(view.Selected()), 3);
  EXPECT_EQ(spy.size(), 1);
  EXPECT_EQ(view.selectedItems(), QList<QTreeWidgetItem*>{Find("B1")});

  // Focus on a tree without a current node makes the first one current and
  // selected, and says so.
  view.LoadNodes({{"P", 7, -1}, {"Q", 8, -1}});
  spy.clear();
  view.clearFocus();
  view.setFocus();
  ASSERT_EQ(view.currentItem(), view.topLevelItem(0));
  EXPECT_TRUE(view.topLevelItem(0)->isSelected());
  EXPECT_EQ(spy.size(), 1);
  view.LoadNodes({{"A", -1, -1}, {"A1", 1, 0}, {"B", -1, -1}, {"B1", 3, 2}});
  view.SelectFirstNode();
  QTest::keyClick(&view, Qt::Key_Right);
  QTest::keyClick(&view, Qt::Key_Down);
  QTest::keyClick(&view, Qt::Key_Down);
  QTest::keyClick(&view, Qt::Key_Right);
  QTest::keyClick(&view, Qt::Key_Down);
  ASSERT_EQ(view.Selected(), Find("B1"));

  // A right click leaves the selection alone.
  QTest::mouseClick(view.viewport(), Qt::RightButton, {}, view.visualItemRect(Find("A")).center());
  EXPECT_EQ(view.Selected(), Find("B1"));

  // Ctrl+click on the selected node does not leave it unselected.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier,
                    view.visualItemRect(Find("B1")).center());
  EXPECT_EQ(view.selectedItems(), QList<QTreeWidgetItem*>{Find("B1")});
}

TEST_F(AutoTreeViewTest, MoveCarriesSubtreeAndKeepsSelection) {
  Show();
  QTreeWidgetItem* a1 = Find("A1");
  view.setCurrentItem(Find("A1x"));
  a1->setExpanded(true);
  QSignalSpy spy(&view, &TAutoTreeView::NodeChanged);

  ASSERT_TRUE(view.MoveNode(a1, Find("B1"), DropPlace::Child));
  EXPECT_EQ(Outline(view), (QStringList{"0 A -1", "1 A2 2", "0 B -1", "1 B1 3", "2 A1 1",
                                        "3 A1x 11", u"0 街機 4"_s}));
  EXPECT_TRUE(Find("B1")->isExpanded());
  EXPECT_TRUE(a1->isExpanded());
  EXPECT_EQ(view.Selected(), Find("A1x"));
  EXPECT_EQ(spy.size(), 0);

  // Within one parent: before and after a sibling.
  ASSERT_TRUE(view.MoveNode(view.topLevelItem(0), view.topLevelItem(2), DropPlace::After));
  EXPECT_EQ(view.topLevelItem(2)->text(0), "A");
  ASSERT_TRUE(view.MoveNode(view.topLevelItem(2), view.topLevelItem(0), DropPlace::Before));
  EXPECT_EQ(view.topLevelItem(0)->text(0), "A");
  ASSERT_TRUE(view.MoveNode(Find("A2"), view.topLevelItem(2), DropPlace::After));
  EXPECT_EQ(view.topLevelItem(3)->text(0), "A2");

  // Never into its own subtree; nothing changes.
  const QStringList before = Outline(view);
  EXPECT_FALSE(view.MoveNode(Find("B"), Find("A1x"), DropPlace::Before));
  EXPECT_FALSE(view.MoveNode(Find("B"), Find("B"), DropPlace::Child));
  EXPECT_EQ(Outline(view), before);
}

TEST_F(AutoTreeViewTest, CtrlCopyDuplicatesCaptionsWithoutKeys) {
  QTreeWidgetItem* a = Find("A");
  QTreeWidgetItem* copy = view.CopyNode(a, Find("B1"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Outline(view),
            (QStringList{"0 A -1", "1 A1 1", "2 A1x 11", "1 A2 2", "0 B -1", "1 B1 3", "2 A -1",
                         "3 A1 -1", "4 A1x -1", "3 A2 -1", u"0 街機 4"_s}));
  EXPECT_TRUE(Find("B1")->isExpanded());
  // Captions keep their bytes in the copy.
  QTreeWidgetItem* arcadeCopy = view.CopyNode(view.topLevelItem(2), Find("B"));
  EXPECT_EQ(TAutoTreeView::NodeCaption(arcadeCopy), rixtest::Big5(u"街機"_s));
  EXPECT_EQ(view.CopyNode(a, Find("A1x")), nullptr);
  EXPECT_EQ(view.CopyNode(a, a), nullptr);
}

TEST_F(AutoTreeViewTest, DropAtUsesRowGeometry) {
  Show();
  QTreeWidgetItem* b = Find("B");
  const QRect row = view.visualItemRect(b);
  ASSERT_GE(row.height(), 12);
  auto at = [&](QTreeWidgetItem* item, int dy) {
    const QRect r = view.visualItemRect(item);
    return QPoint(r.center().x(), r.top() + dy);
  };

  ASSERT_TRUE(view.DropAt(view.topLevelItem(2), at(b, 1), false));  // near B's top
  EXPECT_EQ(view.topLevelItem(1)->text(0), u"街機"_s);
  ASSERT_TRUE(view.DropAt(Find("A"), at(b, view.visualItemRect(b).height() - 2), false));
  EXPECT_EQ(view.topLevelItem(2)->text(0), "A");  // after B, as the last sibling
  ASSERT_TRUE(view.DropAt(Find("A"), at(b, view.visualItemRect(b).height() / 2), false));
  EXPECT_EQ(Find("A")->parent(), b);
  EXPECT_EQ(b->indexOfChild(Find("A")), 1);
  EXPECT_TRUE(b->isExpanded());

  // Ctrl near a row's top still copies as the last child.
  QTreeWidgetItem* arcade = Find(u"街機"_s);
  QTreeWidgetItem* a2 = Find("A2");
  ASSERT_TRUE(view.DropAt(a2, at(arcade, 1), true));
  ASSERT_EQ(arcade->childCount(), 1);
  EXPECT_EQ(arcade->child(0)->text(0), "A2");
  EXPECT_EQ(TAutoTreeView::NodeKey(arcade->child(0)), -1);
  EXPECT_TRUE(arcade->isExpanded());
  EXPECT_EQ(a2->parent(), Find("A"));  // the original stays where it was

  EXPECT_FALSE(view.DropAt(b, at(Find("B1"), 8), false));
  EXPECT_FALSE(view.DropAt(b, QPoint(5, view.viewport()->height() - 2), false));  // no row
}

TEST_F(AutoTreeViewTest, DeleteKeyAsksAndHonoursTheAnswer) {
  Show();
  view.setFocus();
  view.setCurrentItem(Find("A1"));
  QSignalSpy spy(&view, &TAutoTreeView::NodeChanged);

  answer = false;
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(asked, QStringList{u"是否確定刪除？ \"A1\""_s});
  EXPECT_NE(Find("A1x"), nullptr);
  EXPECT_EQ(spy.size(), 0);

  answer = true;
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(Find("A1"), nullptr);
  EXPECT_EQ(Find("A1x"), nullptr);
  EXPECT_EQ(Outline(view), (QStringList{"0 A -1", "1 A2 2", "0 B -1", "1 B1 3", u"0 街機 4"_s}));
  ASSERT_EQ(spy.size(), 1);
  EXPECT_EQ(spy.at(0).at(0).value<QTreeWidgetItem*>(), view.Selected());
  EXPECT_NE(view.Selected(), nullptr);

  view.setCurrentItem(view.topLevelItem(2));
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(asked.last(), u"是否確定刪除？ \"街機\""_s);

  // Without a confirmation route nothing is deleted.
  view.SetConfirm(nullptr);
  const int count = view.topLevelItemCount();
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(view.topLevelItemCount(), count);
}

QLineEdit* OpenEditor(TAutoTreeView& view) { return view.viewport()->findChild<QLineEdit*>(); }

TEST_F(AutoTreeViewTest, InPlaceEditStoresBig5Bytes) {
  Show();
  QTreeWidgetItem* b = Find("B");
  view.setCurrentItem(b);
  view.setFocus();
  // A click on the selected node's caption starts the edit.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(b).center());
  QLineEdit* editor = nullptr;
  EXPECT_TRUE(QTest::qWaitFor([&] { return (editor = OpenEditor(view)) != nullptr; }, 3000));
  ASSERT_NE(editor, nullptr);

  // Delete inside the editor edits text; it does not ask to delete the node.
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_Delete);
  EXPECT_TRUE(asked.isEmpty());
  editor->setText(u"遊戲한"_s);  // Hangul has no Big5 code
  QTest::keyClick(editor, Qt::Key_Return);
  QTest::qWait(0);  // the delegate commits through a queued call
  EXPECT_EQ(TAutoTreeView::NodeCaption(b), rixtest::Big5(u"遊戲"_s) + "?");
  EXPECT_EQ(b->text(0), u"遊戲?"_s);
  EXPECT_EQ(TAutoTreeView::NodeKey(b), -1);
  EXPECT_TRUE(asked.isEmpty());
}

TEST_F(AutoTreeViewTest, UnchangedEditKeepsUndecodableBytes) {
  Show();
  const QByteArray odd("\x81\x30Z", 3);  // not a valid Big5 pair
  view.LoadNodes({{odd, 9, -1}});
  QTreeWidgetItem* item = view.topLevelItem(0);
  view.editItem(item);
  QLineEdit* editor = OpenEditor(view);
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Return);
  QTest::qWait(0);
  EXPECT_EQ(TAutoTreeView::NodeCaption(item), odd);
  EXPECT_EQ(TAutoTreeView::NodeKey(item), 9);
}

TEST_F(AutoTreeViewTest, DrawsDottedLinesAndButtons) {
  Show();
  Find("A")->setExpanded(true);
  const QImage img = view.viewport()->grab().toImage();
  const QColor grey(128, 128, 128);
  auto greyIn = [&](int x, const QRect& row) {
    int n = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) n += img.pixelColor(x, y) == grey;
    return n;
  };
  const int mid = 19 / 2;
  // A has a sibling below: its line runs on through the rows of its children.
  const QRect a2 = view.visualItemRect(Find("A2"));
  EXPECT_GE(greyIn(mid, a2), a2.height() / 2 - 1);
  // A2 is the last child: no line under it in its own column.
  const QRect a2Below(a2.left(), a2.center().y() + 2, 1, a2.height() / 2 - 2);
  EXPECT_EQ(greyIn(19 + mid, a2Below), 0);
  // A has children: a box with a minus sign once expanded, B one with a plus.
  const QRect a = view.visualItemRect(Find("A"));
  const QRect b = view.visualItemRect(Find("B"));
  EXPECT_EQ(img.pixelColor(mid - 4, a.top() + a.height() / 2), grey);
  const QColor text = view.palette().color(QPalette::Text);
  EXPECT_NE(img.pixelColor(mid, a.top() + a.height() / 2 - 2), text);
  EXPECT_EQ(img.pixelColor(mid, b.top() + b.height() / 2 - 2), text);
}

}  // namespace
