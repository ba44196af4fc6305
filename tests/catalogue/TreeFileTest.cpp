#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTest>

#include "TestSupport.h"
#include "catalogue/TreeFile.h"
#include "platform/Big5.h"
#include "widgets/AutoTreeView.h"

using namespace Qt::StringLiterals;

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using rix::ParseTreeFile;
using rix::ParseTreeLine;
using rix::TreeFileResult;

// "depth caption key" per node, in reading order; captions decoded.
QStringList Shape(const TreeFileResult& r) {
  QStringList out;
  for (const rix::TreeNodeRecord& n : r.nodes) {
    int depth = 0;
    for (int p = n.parent; p >= 0; p = r.nodes[p].parent) ++depth;
    out << QStringLiteral("%1 %2 %3").arg(depth).arg(rix::Big5Decode(n.caption)).arg(n.key);
  }
  return out;
}

TEST(TreeFile, FiveLineCatalogue) {
  const QByteArray file =
      rixtest::Big5(u"街機\r\n\tNeoRage,1\r\n\tNeo Demo,2\r\n家用主機\r\n\tzSNES,3\r\n"_s);
  const TreeFileResult r = ParseTreeFile(file);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(Shape(r), (QStringList{u"0 街機 -1"_s, "1 NeoRage 1", "1 Neo Demo 2",
                                   u"0 家用主機 -1"_s, "1 zSNES 3"}));
  EXPECT_EQ(r.nodes[1].parent, 0);
  EXPECT_EQ(r.nodes[4].parent, 3);
  EXPECT_EQ(r.nodes[0].caption, rixtest::Big5(u"街機"_s));  // bytes kept as stored
}

TEST(TreeFile, CaptionAndKeySplit) {
  struct Case {
    const char* line;
    const char* caption;
    int key;
  } cases[] = {
      {"", "", -1},
      {"Alpha, Beta", "Alpha, Beta", -1},
      {"Alpha,  7", "Alpha", 7},
      {"Alpha,7 ", "Alpha,7 ", -1},  // trailing blank: not a whole number
      {"Alpha,-3", "Alpha", -3},
      {"Alpha,+5", "Alpha", 5},
      {"Alpha,", "Alpha,", -1},
      {"Alpha,+", "Alpha,+", -1},
      {"Alpha,\t7", "Alpha,\t7", -1},  // only blanks may lead the number
      {"A,b,7", "A,b,7", -1},          // the first comma decides
      {"A,7,8", "A,7,8", -1},
      {",12", "", 12},
      {"Alpha,2147483647", "Alpha", 2147483647},
      {"Alpha,-2147483648", "Alpha", -2147483647 - 1},
      {"Alpha,2147483648", "Alpha", -1},  // a number too big for a key
      {"Alpha,99999999999999999999999", "Alpha", -1},
  };
  for (const Case& c : cases) {
    const rix::TreeLine l = ParseTreeLine(c.line);
    EXPECT_EQ(l.caption, QByteArray(c.caption)) << c.line;
    EXPECT_EQ(l.key, c.key) << c.line;
    EXPECT_EQ(l.level, 0) << c.line;
  }
}

TEST(TreeFile, LevelCountsTabsAndBlanksInAnyMix) {
  EXPECT_EQ(ParseTreeLine("\t \tX,4").level, 3);
  EXPECT_EQ(ParseTreeLine("\t \tX,4").caption, "X");
  EXPECT_EQ(ParseTreeLine("  ").level, 2);
  EXPECT_EQ(ParseTreeLine("  ").caption, "");
  EXPECT_EQ(ParseTreeLine(rixtest::Big5(u"功夫,9"_s)).caption, rixtest::Big5(u"功夫"_s));
}

TEST(TreeFile, PlacementAgainstPreviousDepth) {
  const TreeFileResult r = ParseTreeFile(
      "A\n"
      " B\n"
      "  C\n"
      "   D\n"
      " E\n"  // back up two levels: sibling of B
      "F\n"   // back to the top
      "\n"    // empty line: top-level node without caption or key
      " G,5\n");
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(Shape(r), (QStringList{"0 A -1", "1 B -1", "2 C -1", "3 D -1", "1 E -1", "0 F -1",
                                   "0  -1", "1 G 5"}));
  EXPECT_EQ(r.nodes[4].parent, 0);
  EXPECT_EQ(r.nodes[7].parent, 6);
}

TEST(TreeFile, IndentedFirstLineStaysOnTop) {
  const TreeFileResult r = ParseTreeFile("\tFirst\n\tSecond\n\tThird\nTop\n");
  EXPECT_TRUE(r.ok());
  // Levels are compared with the previous node's depth, not with its indentation.
  EXPECT_EQ(Shape(r), (QStringList{"0 First -1", "1 Second -1", "1 Third -1", "0 Top -1"}));

  const TreeFileResult deep = ParseTreeFile("\t\tFirst\n\t\tSecond\n");
  EXPECT_EQ(Shape(deep), QStringList{"0 First -1"});
  EXPECT_EQ(deep.error, u"項目 \"Second\" 不正確的階層 (level) (2)"_s);
}

TEST(TreeFile, LevelJumpStopsAndKeepsNodesRead) {
  const QByteArray file = "A\n\tB\n" + rixtest::Big5(u"\t\t\t遊戲,9"_s) + "\nC\n";
  const TreeFileResult r = ParseTreeFile(file);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error, u"項目 \"遊戲\" 不正確的階層 (level) (3)"_s);
  EXPECT_EQ(Shape(r), (QStringList{"0 A -1", "1 B -1"}));

  // Placeholders in a caption are not filled a second time.
  EXPECT_EQ(ParseTreeFile("A\n\t\t%2 %1\n").error, u"項目 \"%2 %1\" 不正確的階層 (level) (2)"_s);
}

TEST(TreeFile, LineEndsAndNul) {
  // CR LF, lone CR and lone LF all end a line; CR CR LF is two ends.
  EXPECT_EQ(Shape(ParseTreeFile("A\r\n\tB\r\tC\nD\r\r\nE")),
            (QStringList{"0 A -1", "1 B -1", "1 C -1", "0 D -1", "0  -1", "0 E -1"}));
  // LF CR is two line ends too.
  EXPECT_EQ(ParseTreeFile("A\n\rB").nodes.size(), 3u);
  // A final line end adds no line; an empty file has no nodes.
  EXPECT_EQ(ParseTreeFile("A\n").nodes.size(), 1u);
  EXPECT_TRUE(ParseTreeFile("").nodes.empty());
  EXPECT_EQ(ParseTreeFile("\n").nodes.size(), 1u);

  const TreeFileResult nul = ParseTreeFile(QByteArray("A\n\tB,1\0\nC\n", 11));
  EXPECT_EQ(Shape(nul), (QStringList{"0 A -1", "1 B 1"}));
  EXPECT_TRUE(ParseTreeFile(QByteArray("\0A", 2)).nodes.empty());
}

TEST(TreeFile, ReadsFromDiskOrReportsMissingFile) {
  rixtest::ScratchDir dir;
  const QString path = dir.file("EmuTree.ini");
  ASSERT_TRUE(rixtest::WriteAll(path, "A\n\tB,3\n"));
  const TreeFileResult r = rix::ReadTreeFile(path);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(Shape(r), (QStringList{"0 A -1", "1 B 3"}));

  const QString missing = dir.file("Missing.ini");
  const TreeFileResult m = rix::ReadTreeFile(missing);
  EXPECT_TRUE(m.nodes.empty());
  EXPECT_EQ(m.error, u"無法開啟檔案 "_s + missing);
}

TEST(TreeFile, DepthIsBoundedAndTheDeepestAcceptedTreeExpandsWhole) {
  QByteArray file;
  for (int level = 0; level <= rix::kMaxTreeDepth; ++level)
    file += QByteArray(level, '\t') + "n" + QByteArray::number(level) + "\r\n";
  const TreeFileResult r = ParseTreeFile(file);
  EXPECT_EQ(r.error, u"項目 \"n1000\" 不正確的階層 (level) (1000)"_s);
  ASSERT_EQ(r.nodes.size(), size_t(rix::kMaxTreeDepth));
  EXPECT_EQ(Shape(r).back(), u"999 n999 -1"_s);

  // "*" on the root expands every level: the view lays the whole chain out.
  TAutoTreeView view;
  view.LoadNodes(r.nodes);
  view.resize(400, 300);
  view.show();
  view.setCurrentItem(view.topLevelItem(0));
  QTest::keyClick(&view, Qt::Key_Asterisk);
  QTreeWidgetItem* deepest = view.topLevelItem(0);
  while (deepest->childCount() > 0) {
    EXPECT_TRUE(deepest->isExpanded());
    deepest = deepest->child(0);
  }
  view.scrollToItem(deepest);
  EXPECT_TRUE(view.visualItemRect(deepest).isValid());
}

TEST(TreeFile, ReadingAFifoOrADeviceReturnsAtOnce) {
  rixtest::ScratchDir dir;
  const QString fifo = dir.file("fifo.ini"), zero = dir.file("zero.ini");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/zero", zero));
  for (const QString& path : {fifo, zero}) {
    const TreeFileResult r = rix::ReadTreeFile(path);
    EXPECT_EQ(r.error, u"不正確檔案名稱"_s);
    EXPECT_TRUE(r.nodes.empty());
  }
}

TEST(TreeFile, LoadFillsViewAndEmptiesItOnError) {
  rixtest::ScratchDir dir;
  const QString path = dir.file("EmuTree.ini");
  ASSERT_TRUE(rixtest::WriteAll(path, "A\n\tB,3\n\t\t\tbad\n"));
  TAutoTreeView view;
  EXPECT_EQ(rix::LoadTreeFile(view, path), u"項目 \"bad\" 不正確的階層 (level) (3)"_s);
  ASSERT_EQ(view.topLevelItemCount(), 1);
  EXPECT_EQ(TAutoTreeView::NodeKey(view.topLevelItem(0)->child(0)), 3);
  EXPECT_EQ(rixtest::ReadAll(path), "A\n\tB,3\n\t\t\tbad\n");  // never written

  EXPECT_FALSE(rix::LoadTreeFile(view, dir.file("none.ini")).isEmpty());
  EXPECT_EQ(view.topLevelItemCount(), 0);
}

}  // namespace
