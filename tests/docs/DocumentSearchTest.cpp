#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>

#include "docs/DocumentPrint.h"
#include "docs/DocumentSearch.h"

using namespace rix;
using F = SearchFlag;

namespace {

// Where the cursor's selection is, as "start-end".
QString Sel(const QTextCursor& c) {
  return QString::number(c.selectionStart()) + '-' + QString::number(c.selectionEnd());
}

}  // namespace

TEST(DocumentSearch, HitsInALine) {
  const QString line = "Cat cat scat cat_ cat";
  EXPECT_EQ(FindInLine(line, 0, u"cat", F::MatchCase), 4);
  EXPECT_EQ(FindInLine(line, 0, u"cat", {}), 0);
  EXPECT_EQ(FindInLine(line, 5, u"cat", F::MatchCase | F::WholeWord), 18);  // not scat, cat_
  EXPECT_EQ(FindInLine(line, 21, u"cat", F::Backward | F::MatchCase), 18);
  EXPECT_EQ(FindInLine(line, 20, u"cat", F::Backward | F::MatchCase), 13);  // must end by 20
  EXPECT_EQ(FindInLine(line, 8, u"CAT", F::Backward | F::WholeWord), 4);
  EXPECT_EQ(FindInLine(line, 2, u"cat", F::Backward), -1);
  EXPECT_EQ(FindInLine(line, 0, u"", {}), -1);
  EXPECT_EQ(FindInLine(u"中文中", 0, u"文", F::WholeWord), -1);  // a letter on each side
  // Only the first 255 characters of the find text count.
  QTextDocument longer(QString(255, u'a') + 'b');
  QTextCursor c(&longer);
  EXPECT_TRUE(SearchDocument(c, QString(255, u'a') + "zzz", {}));
}

TEST(DocumentSearch, ReplaceOneAndReplaceAll) {
  QTextDocument doc("a cat, a cat\ncatcat cat");
  QTextCursor c(&doc);
  // The selection is not the find text: nothing replaced, the next hit selected.
  c.setPosition(0);
  c.setPosition(1, QTextCursor::KeepAnchor);
  EXPECT_EQ(ReplaceInDocument(c, "cat", "dog", F::ReplaceOne | F::MatchCase), 0);
  EXPECT_EQ(Sel(c), "2-5");
  EXPECT_EQ(ReplaceInDocument(c, "cat", "dog", F::ReplaceOne | F::MatchCase), 1);
  EXPECT_EQ(doc.toPlainText(), "a dog, a cat\ncatcat cat");
  EXPECT_EQ(Sel(c), "9-12");
  // All: the selection, then every whole word to the end, not before the caret.
  EXPECT_EQ(ReplaceInDocument(c, "CAT", "cat cat", F::ReplaceAll | F::WholeWord), 2);
  EXPECT_EQ(doc.toPlainText(), "a dog, a cat cat\ncatcat cat cat");
  doc.undo();  // one step undoes the whole replace
  EXPECT_EQ(doc.toPlainText(), "a dog, a cat\ncatcat cat");
  c.setPosition(0);
  EXPECT_EQ(ReplaceInDocument(c, "xyz", "", F::ReplaceAll), -1);
  EXPECT_EQ(ReplaceInDocument(c, "xyz", "", F::ReplaceOne), -1);
  EXPECT_EQ(ReplaceInDocument(c, "cat", "", F::ReplaceAll | F::MatchCase), 4);
  EXPECT_EQ(doc.toPlainText(), "a dog, a \n ");
}

TEST(DocumentPrint, PrintableLinesExpandTabsAndKeepTheSelectionInPlace) {
  EXPECT_EQ(PrintableLine(u"a\tb\t\tc", 8, 1024), "a       b               c");
  EXPECT_EQ(PrintableLine(u"abcdefgh", 8, 1024, 3), "   defgh");
  EXPECT_EQ(PrintableLine(u"\tabcdef", 8, 1024, 3, 5), "          cd");
  EXPECT_EQ(PrintableLine(QString(2000, u'x'), 8, 1024).size(), 1024);
  EXPECT_EQ(PrintableLine(QString(1023, u'x') + '\t', 8, 1024).size(), 1024);
}
