#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "TestSupport.h"
#include "UrlRecorder.h"
#include "platform/Big5.h"
#include "widgets/EllipsisEdit.h"
#include "widgets/FontSetup.h"
#include "widgets/Glyphs.h"
#include "widgets/GridDelegate.h"
#include "widgets/GridLines.h"
#include "widgets/StringGrid.h"

using namespace rix;

namespace {

// A grid with a header row and the given data rows (columns split at '|').
void Fill(StringGrid& g, const QStringList& rows) {
  g.clearCells();
  int cols = 0;
  for (const QString& r : rows) cols = std::max<int>(cols, r.split(u'|').size());
  g.setColCount(cols);
  g.setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < rows.size(); ++r) {
    const QStringList cells = rows[r].split(u'|');
    for (int c = 0; c < cells.size(); ++c) g.setCell(c, r, cells[c].toLatin1());
  }
}

QString Column(const StringGrid& g, int c) {
  QStringList out;
  for (int r = 1; r < g.rowCount(); ++r) out << QString::fromLatin1(g.cell(c, r).toByteArray());
  return out.join(u',');
}

QPoint HeaderPoint(StringGrid& g, int col) {
  QHeaderView* h = g.horizontalHeader();
  return QPoint(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
}

}  // namespace

TEST(StringGrid, ModelStaysConsistentThroughEveryOperation) {
  StringGrid g;
  QAbstractItemModelTester tester(g.gridModel(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  Fill(g, {"h0|h1", "b|x", "a|y", "c|z"});
  EXPECT_EQ(g.gridModel()->rowCount(), 3);  // the header row is not a model row
  EXPECT_EQ(g.gridModel()->headerData(1, Qt::Horizontal).toString(), "h1");
  g.insertRow(2);
  g.removeRow(1);
  g.setCellImage(0, 1, 1);
  g.headerReleased(1);
  g.clearRow(1);
  g.clearCells();
  g.setRowCount(2);
  EXPECT_EQ(g.rowCount(), 2);
  EXPECT_EQ(g.cellImage(0, 1), -1);
}

TEST(StringGrid, HeaderRowIsFixedOnlyWhileThereIsADataRow) {
  StringGrid g;
  g.show();
  Fill(g, {"title", "x"});
  EXPECT_EQ(g.fixedRows(), 1);
  EXPECT_TRUE(g.horizontalHeader()->isVisible());
  g.removeRow(1);
  EXPECT_EQ(g.rowCount(), 1);
  EXPECT_EQ(g.fixedRows(), 0);
  EXPECT_FALSE(g.horizontalHeader()->isVisible());
  EXPECT_EQ(g.gridModel()->index(0, 0).data().toString(), "title");
}

// The view's own measure of a section, which takes the bold face.
class BoldMeasure : public QHeaderView {
public:
  BoldMeasure() : QHeaderView(Qt::Horizontal) {}
  QSize section(int i) const { return QHeaderView::sectionSizeFromContents(i); }
};

TEST(StringGrid, HeaderIsAsTallAsTheViewMeasuresItInBold) {
  InstallFontSubstitutions();
  const QStringList captions = {QStringLiteral("狀態"), QStringLiteral("遊戲名稱"),
                                QStringLiteral("Year, gÅ"), QStringLiteral("年份, 製作…"), ""};
  for (const char* family : {"Times New Roman", "新細明體", "MS Sans Serif"}) {
    StringGrid g;
    QFont f(QString::fromUtf8(family));
    f.setPixelSize(12);
    f.setKerning(false);
    g.setFont(f);
    g.setColCount(static_cast<int>(captions.size()));
    g.setRowCount(2);
    for (int c = 0; c < captions.size(); ++c) g.setCell(c, 0, Big5Encode(captions[c]));
    g.show();
    BoldMeasure bold;
    bold.setFont(g.horizontalHeader()->font());
    bold.setModel(g.gridModel());
    for (const bool sorted : {false, true}) {
      g.horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
      g.horizontalHeader()->setSortIndicatorShown(sorted);
      bold.setSortIndicator(1, Qt::AscendingOrder);
      bold.setSortIndicatorShown(sorted);
      int tallest = 0;
      for (int c = 0; c < captions.size(); ++c)
        tallest = std::max(tallest, bold.section(c).height());
      EXPECT_EQ(g.horizontalHeader()->sizeHint().height(), tallest) << family << sorted;
    }
  }
}

TEST(StringGrid, HeaderReleaseSortsAsBytesWithTieBreakAndFlip) {
  StringGrid g;
  g.resize(400, 300);
  g.show();
  // Upper case before lower case, digits as text; ties decided by the next
  // columns up to the last but one (the last column never decides).
  Fill(g, {"k|v|w|last", "b|2|x|1", "B|1|x|2", "a|10|x|3", "b|1|x|4", "b|1|x|0"});
  g.setCursor(1, 2);    // on "B"
  g.headerReleased(0);  // column 0 is the current sort column: it flips to descending
  EXPECT_FALSE(g.sortAscending());
  EXPECT_EQ(Column(g, 0), "b,b,b,a,B");
  EXPECT_EQ(Column(g, 1), "2,1,1,10,1");
  EXPECT_EQ(Column(g, 3), "1,4,0,3,2");              // equal rows keep their order
  EXPECT_EQ(g.cell(0, g.row()).toByteArray(), "B");  // the cursor followed its row
  QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, HeaderPoint(g, 1));
  EXPECT_EQ(g.sortColumn(), 1);
  EXPECT_TRUE(g.sortAscending());
  EXPECT_EQ(Column(g, 1), "1,1,1,10,2");
  QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, HeaderPoint(g, 1));
  EXPECT_EQ(Column(g, 1), "2,10,1,1,1");
  // A right-button release sorts nothing.
  QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::RightButton, {}, HeaderPoint(g, 0));
  EXPECT_EQ(g.sortColumn(), 1);
  // The header shows the last sort and its direction, until other rows come in.
  EXPECT_TRUE(g.horizontalHeader()->isSortIndicatorShown());
  EXPECT_EQ(g.horizontalHeader()->sortIndicatorSection(), 1);
  EXPECT_EQ(g.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  g.clearCells();
  EXPECT_FALSE(g.horizontalHeader()->isSortIndicatorShown());
}

TEST(StringGrid, SortEqualsOneStableLexicographicSortOverTheTieColumns) {
  // Many ties across several columns, some cells missing: the order must be
  // the one a single stable sort on (column, next columns up to the last but
  // one) gives, in both directions.
  GridData g(5, 301);
  std::uint32_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int r = 1; r < g.rowCount(); ++r)
    for (int c = 0; c < 5; ++c)
      if (next() % 7)
        g.setCell(c, r, QByteArray(1 + next() % 2, static_cast<char>('a' + next() % 3)));
  for (int col = 0; col < 5; ++col) {
    for (bool ascending : {true, false}) {
      std::vector<int> expected;
      for (int r = 1; r < g.rowCount(); ++r) expected.push_back(r);
      auto key = [&](int r, int c) { return g.cellBytes(c, r); };
      std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        for (int c = col; c == col || c <= 3; ++c) {
          if (key(a, c) != key(b, c))
            return ascending ? key(a, c) < key(b, c) : key(a, c) > key(b, c);
        }
        return false;
      });
      std::vector<std::uint32_t> ids;
      for (int r : expected) ids.push_back(g.rowId(r));
      g.sortRows(col, ascending, 1);
      for (int r = 1; r < g.rowCount(); ++r)
        ASSERT_EQ(g.rowId(r), ids[static_cast<size_t>(r - 1)]) << col << ascending << r;
    }
  }
}

TEST(StringGrid, FewerThanTwoDataRowsAreNotSorted) {
  StringGrid g;
  Fill(g, {"h", "z"});
  g.headerReleased(0);
  EXPECT_TRUE(g.sortAscending());  // nothing happened, not even the flip
  Fill(g, {"h", "z", "a"});
  g.headerReleased(0);
  EXPECT_EQ(Column(g, 0), "z,a");  // flipped to descending
}

TEST(StringGrid, ImagesMoveWithTheirRows) {
  StringGrid g;
  g.setImages({Glyphs::LampOff(), Glyphs::LampOn()});
  Fill(g, {"h", "b", "a"});
  g.setCellImage(0, 1, 1);
  g.setCellImage(0, 2, 0);
  g.headerReleased(0);  // the current column flips to descending: b, a as they stand
  EXPECT_EQ(Column(g, 0), "b,a");
  g.headerReleased(0);
  EXPECT_EQ(Column(g, 0), "a,b");
  EXPECT_EQ(g.cellImage(0, 1), 0);
  EXPECT_EQ(g.cellImage(0, 2), 1);
  EXPECT_FALSE(g.gridModel()->index(1, 0).data(Qt::DecorationRole).isNull());
}

TEST(StringGrid, ColumnsFitTheirWidestTextPlusXxAndTen) {
  StringGrid g;
  QFont f(QStringLiteral("Liberation Serif"));
  f.setPixelSize(12);
  g.setFont(f);
  QStringList rows = {"Name|x"};
  for (int i = 0; i < 300; ++i) rows << QString("row %1 WWW|%2").arg(i).arg(QString(i % 7, 'i'));
  rows << "MMMMMMMMMM|";
  rows << "MMMMMMMM office fluffy fjord|";  // ligatures, where the font has them
  Fill(g, rows);
  g.setCell(1, 3, rixtest::Big5("遊戲總數很長的文字"));
  EXPECT_EQ(g.columnWidth(0), 22);  // until fitted
  g.autoSizeColumns();
  const QFontMetrics fm(g.font());
  const int extra = fm.horizontalAdvance("xx") + 10;
  int want0 = 0;
  for (const QString& r : rows) want0 = std::max(want0, fm.horizontalAdvance(r.split(u'|')[0]));
  EXPECT_EQ(g.columnWidth(0), want0 + extra);
  EXPECT_EQ(g.columnWidth(1), fm.horizontalAdvance(QStringLiteral("遊戲總數很長的文字")) + extra);
  // An empty column is as wide as "xx" plus 10.
  g.setColCount(3);
  g.autoSizeColumns();
  EXPECT_EQ(g.columnWidth(2), extra);
}

TEST(StringGrid, EditorsFollowTheOwnersChoice) {
  StringGrid g;
  g.resize(400, 200);
  g.show();
  Fill(g, {"a|b|c", "1|2|yes"});
  g.setDropDownItems({"No", "Yes"});
  g.getEditorType = [](int col, int) {
    return col == 1   ? StringGrid::EditorKind::Ellipsis
           : col == 2 ? StringGrid::EditorKind::DropDown
                      : StringGrid::EditorKind::Plain;
  };
  int asked = 0;
  g.ellipsClick = [&](int col, int row, QByteArray& value) {
    ++asked;
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(value, "2");
    value = "picked.txt";
  };
  // Not editable until edit mode is on.
  EXPECT_FALSE(g.gridModel()->flags(g.gridModel()->index(0, 0)) & Qt::ItemIsEditable);
  g.setEditMode(true);
  g.setCursor(2, 1);
  g.edit(g.gridModel()->index(0, 2));
  auto* combo = g.findChild<QComboBox*>();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->currentText(), "Yes");  // the item equal to the cell, ignoring case
  combo->setCurrentIndex(0);
  emit combo->activated(0);
  QTest::keyClick(combo, Qt::Key_Return);
  EXPECT_EQ(g.cell(2, 1).toByteArray(), "No");

  g.setCursor(1, 1);
  g.edit(g.gridModel()->index(0, 1));
  auto* ell = g.findChild<EllipsisEdit*>();
  ASSERT_NE(ell, nullptr);
  ell->button()->click();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(ell->text(), "picked.txt");
  EXPECT_EQ(g.cell(1, 1).toByteArray(), "picked.txt");

  g.setCursor(0, 1);
  g.edit(g.gridModel()->index(0, 0));
  const auto lines = g.viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(lines.size(), 1);
  QLineEdit* line = lines.first();
  line->setText(QStringLiteral("遊戲"));
  emit g.itemDelegate()->commitData(line);
  EXPECT_EQ(g.cell(0, 1).toByteArray(), rixtest::Big5("遊戲"));
}

TEST(StringGrid, LinkCellsOpenTheirFullTextOnPress) {
  StringGrid g;
  g.resize(400, 200);
  g.show();
  Fill(g, {"h|w", "plain|http://rixfront.example/neo/", "x|mailto:a@b.example"});
  rixtest::UrlRecorder opened;
  int clicks = 0;
  g.clickCell = [&](int row, int col) {
    ++clicks;
    EXPECT_EQ(row, g.row());
    EXPECT_EQ(col, g.col());
  };
  const QRect r1 = g.visualRect(g.gridModel()->index(0, 1));
  QTest::mousePress(g.viewport(), Qt::LeftButton, {}, r1.center());
  const QRect r0 = g.visualRect(g.gridModel()->index(0, 0));
  QTest::mousePress(g.viewport(), Qt::LeftButton, {}, r0.center());
  EXPECT_EQ(opened.opened, QList<QUrl>{QUrl("http://rixfront.example/neo/")});
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(LinkCaption("http://rixfront.example/neo/"), "rixfront.example/neo/");
  EXPECT_EQ(LinkCaption("mailto:a@b.example"), "a@b.example");
  EXPECT_TRUE(IsLinkText("ftp://x"));
  EXPECT_FALSE(IsLinkText("http:/x"));
}

TEST(StringGrid, RightPressKeepsTheCursorAndReportsTheButton) {
  StringGrid g;
  g.resize(400, 200);
  g.show();
  Fill(g, {"h", "a", "b"});
  g.setCursor(0, 1);
  QList<Qt::MouseButton> downs;
  g.mouseDown = [&](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint) { downs << b; };
  const QRect r = g.visualRect(g.gridModel()->index(1, 0));
  QTest::mousePress(g.viewport(), Qt::RightButton, {}, r.center());
  EXPECT_EQ(g.row(), 1);
  QTest::mousePress(g.viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_EQ(g.row(), 2);
  QTest::mousePress(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, HeaderPoint(g, 0));
  EXPECT_EQ(downs, (QList<Qt::MouseButton>{Qt::RightButton, Qt::LeftButton, Qt::LeftButton}));
}

TEST(StringGrid, AMillionColumnsFitWithinASecond) {
  StringGrid g;
  const int cols = 1000000;
  g.beginBulkChange();
  g.data().setColCount(cols);
  g.data().setRowCount(2);
  for (int c = 0; c < cols; ++c) {
    g.data().setCell(c, 0, QByteArray::number(c % 1000));
    if (c % 3 == 0) g.data().setCell(c, 1, QByteArray(c % 17, 'W'));
  }
  g.endBulkChange();
  QElapsedTimer t;
  t.start();
  g.autoSizeColumns();
  EXPECT_LT(t.elapsed(), 1000);
  const QFontMetrics fm(g.font());
  const int extra = fm.horizontalAdvance("xx") + 10;
  for (int c : {0, 1, 3, 16, 999999, cols - 1}) {
    const int want = std::max(fm.horizontalAdvance(QString::number(c % 1000)),
                              c % 3 == 0 ? fm.horizontalAdvance(QString(c % 17, 'W')) : 0);
    EXPECT_EQ(g.columnWidth(c), want + extra) << c;
  }
}

TEST(StringGrid, LongCellsAreShownAndMeasuredByTheirFirstPartOnly) {
  StringGrid g;
  Fill(g, {"h|x", "a|b"});
  // A double-byte character straddling the bound is left out whole.
  QByteArray longCell = QByteArray(kDisplayBytes - 1, 'a') + rixtest::Big5("遊") + "tail";
  g.setCell(0, 0, longCell);
  g.setCell(0, 1, longCell);
  const QModelIndex i = g.gridModel()->index(0, 0);
  EXPECT_EQ(i.data().toString(), QString(kDisplayBytes - 1, 'a'));
  EXPECT_EQ(g.gridModel()->headerData(0, Qt::Horizontal).toString(),
            QString(kDisplayBytes - 1, 'a'));
  EXPECT_EQ(g.cell(0, 1).toByteArray(), longCell);  // the bytes stay whole
  g.autoSizeColumns();
  EXPECT_EQ(g.columnWidth(0),
            QFontMetrics(g.font()).horizontalAdvance(QString(kDisplayBytes - 1, 'a')) +
                QFontMetrics(g.font()).horizontalAdvance("xx") + 10);
  // The in-place editor would keep only what it shows.
  g.setEditMode(true);
  EXPECT_FALSE(g.gridModel()->flags(i) & Qt::ItemIsEditable);
  EXPECT_TRUE(g.gridModel()->flags(g.gridModel()->index(0, 1)) & Qt::ItemIsEditable);
}

// The grid's own cell painter against the style's: the same picture for plain,
// Big5, empty, elided, link and lamp cells, the current cell and the lines,
// and again after a cell, a column width and the font change.
TEST(StringGrid, OwnCellPainterDrawsWhatTheStyleDraws) {
  StringGrid g;
  g.resize(520, 260);
  g.setImages({Glyphs::LampOff(), Glyphs::LampOn()});
  g.setColCount(4);
  g.setRowCount(9);
  const QStringList texts = {"",
                             "星際飛龍 12",
                             "Space Racer",
                             "http://example.org/x",
                             "光榮株式會社",
                             "mailto:a@b.c",
                             "x",
                             "A long text that its column cannot hold whole"};
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 4; ++c)
      g.setCell(c, r, Big5Encode(r == 0 ? QStringLiteral("列%1").arg(c) : texts[(r + c) % 8]));
  for (int r = 1; r < 9; ++r) g.setCellImage(0, r, r % 3 == 0 ? -1 : r % 2);
  g.autoSizeColumns();
  g.horizontalHeader()->resizeSection(3, 60);
  g.show();
  g.setFocus();
  g.setCursor(1, 3);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
  const auto frames = [&g] {
    g.gridDelegate()->setOwnPainting(false);
    const QImage styled = g.viewport()->grab().toImage();
    g.gridDelegate()->setOwnPainting(true);
    const QImage own = g.viewport()->grab().toImage();
    return std::pair{styled, own};
  };
  auto [styled, own] = frames();
  EXPECT_EQ(own, styled);
  // Drawn twice: the second time from the kept layouts.
  EXPECT_EQ(g.viewport()->grab().toImage(), styled);
  // The current cell on a lit and an unlit lamp (tinted as selected), on a
  // link, on an elided text and on an empty cell.
  for (const QPoint at : {QPoint(0, 1), QPoint(0, 2), QPoint(0, 3), QPoint(3, 7), QPoint(2, 6)}) {
    g.setCursor(at.x(), at.y());
    std::tie(styled, own) = frames();
    EXPECT_EQ(own, styled) << at.x() << "," << at.y();
  }
  g.setCursor(1, 3);
  // The lamps over a background of more than one colour.
  const QPalette plain = g.palette();
  QPalette shaded = plain;
  QLinearGradient gradient(0, 0, 0, 120);
  gradient.setColorAt(0, Qt::white);
  gradient.setColorAt(1, QColor(190, 210, 250));
  shaded.setBrush(QPalette::Base, gradient);
  g.setPalette(shaded);
  g.setCursor(0, 1);
  std::tie(styled, own) = frames();
  EXPECT_EQ(own, styled);
  g.setPalette(plain);
  g.setCursor(1, 3);

  g.setCell(2, 2, "changed");
  g.horizontalHeader()->resizeSection(1, 40);
  std::tie(styled, own) = frames();
  EXPECT_EQ(own, styled);

  QFont f = g.font();
  f.setPointSize(f.pointSize() + 3);
  g.setFont(f);
  g.verticalHeader()->setDefaultSectionSize(24);
  std::tie(styled, own) = frames();
  EXPECT_EQ(own, styled);

  // The window's font, a Latin face with the Ming face for Chinese: texts
  // laid out from each character's glyph (Chinese, ASCII, Greek, full-width
  // forms, mixed) and texts that are shaped whole (the ligature letter f,
  // the ideographic blank, a trailing blank), on the
  // same baseline as the style puts them.
  InstallFontSubstitutions();
  QFont window(QStringLiteral("Times New Roman"));
  window.setPixelSize(12);
  window.setKerning(false);
  g.setFont(window);
  g.verticalHeader()->setDefaultSectionSize(16);
  const QStringList mixed = {QStringLiteral("三國志 II (1989)"),
                             QStringLiteral("Final Fight office"),
                             QStringLiteral("αβγ ＡＢＣ１２３ 「快打」"),
                             QStringLiteral("雷電　戰機"),
                             QStringLiteral("WAVE RACE "),
                             QStringLiteral("Muffin Fly"),
                             QStringLiteral("AVATAR Wolf"),
                             QStringLiteral("卡普空公司 SNK")};
  for (int r = 1; r < 9; ++r)
    for (int c = 0; c < 4; ++c) g.setCell(c, r, Big5Encode(mixed[(r + c) % 8]));
  g.autoSizeColumns();
  std::tie(styled, own) = frames();
  EXPECT_EQ(own, styled);
  // The current cell on a shaped text.
  g.setCursor(0, 1);
  std::tie(styled, own) = frames();
  EXPECT_EQ(own, styled);

  // One row: no header row above it.
  g.setRowCount(1);
  std::tie(styled, own) = frames();
  EXPECT_EQ(own, styled);
}

// Paging moves the scroll bar's slider: only where it was and where it goes
// are painted again, and what is on screen stays what a whole repaint draws,
// at the ends, in between and while the slider is held.
TEST(StringGrid, ScrollBarRepaintsOnlyWhereTheSliderMovedAndStaysWhole) {
  StringGrid g;
  g.resize(300, 240);
  g.setColCount(2);
  g.setRowCount(3000);
  g.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
  QScrollBar* bar = g.verticalScrollBar();
  const auto onScreen = [&] {
    QCoreApplication::processEvents();
    const QPixmap window = g.screen()->grabWindow(g.window()->winId());
    const QRect at(bar->mapTo(g.window(), QPoint(0, 0)), bar->size());
    return window.copy(at).toImage().convertToFormat(QImage::Format_RGB32);
  };
  const auto whole = [&] { return bar->grab().toImage().convertToFormat(QImage::Format_RGB32); };
  ASSERT_EQ(onScreen(), whole());
  int step = 0;
  for (int value : {bar->pageStep(), 5 * bar->pageStep(), bar->maximum(), bar->maximum() - 1, 0, 1,
                    bar->maximum() / 2, bar->maximum() / 2 + 1}) {
    bar->setValue(value);
    EXPECT_EQ(onScreen(), whole()) << "step " << step++;
  }
  // A step of less than a pixel leaves the bar as it is, unpainted.
  struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      paints += e->type() == QEvent::Paint;
      return false;
    }
  } count;
  bar->installEventFilter(&count);
  bar->setValue(bar->value() + 1);
  const QImage shown = onScreen();
  bar->removeEventFilter(&count);
  EXPECT_EQ(count.paints, 0);
  EXPECT_EQ(shown, whole());
  bar->setSliderDown(true);
  for (int value : {bar->maximum() / 3, bar->maximum()}) {
    bar->setSliderPosition(value);
    EXPECT_EQ(onScreen(), whole()) << "held " << value;
  }
  bar->setSliderDown(false);
  EXPECT_EQ(onScreen(), whole());
}

// The grid lines are written straight into the window's image where the
// painter would fill them: the same pixels, only inside what is being
// painted (not over a widget lying on the grid), at any offset in the image.
TEST(StringGrid, GridLinesOnScreenAreWhatThePainterDraws) {
  QWidget window;
  window.resize(420, 300);
  StringGrid g(&window);
  g.setGeometry(17, 9, 390, 280);
  g.setColCount(5);
  g.setRowCount(40);
  for (int r = 0; r < 40; ++r) g.setCell(r % 5, r, "x");
  QWidget cover(g.viewport());
  cover.setAutoFillBackground(true);
  cover.setPalette(QPalette(Qt::red));
  cover.setGeometry(30, 25, 90, 70);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const auto onScreen = [&] {
    QCoreApplication::processEvents();
    const QPixmap shot = g.screen()->grabWindow(window.winId());
    const QRect at(g.viewport()->mapTo(&window, QPoint(0, 0)), g.viewport()->size());
    return shot.copy(at).toImage().convertToFormat(QImage::Format_RGB32);
  };
  const auto drawn = [&] {
    return g.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  };
  EXPECT_EQ(onScreen(), drawn());
  g.viewport()->update(QRect(60, 40, 200, 90));  // partly under the cover
  EXPECT_EQ(onScreen(), drawn());
  g.setRow(20);  // scrolls: the strip that comes in is painted
  EXPECT_EQ(onScreen(), drawn());

  // Into an image through a moved painter, against the painter's own fill.
  QImage direct(200, 120, QImage::Format_ARGB32_Premultiplied);
  QImage filled = direct;
  for (QImage* image : {&direct, &filled}) image->fill(Qt::white);
  const int rows[] = {-3, 4, 4, 30, 119}, columns[] = {-1, 0, 57, 90, 250};
  const GridLines lines{QRect(-5, -4, 180, 130), rows, columns};
  {
    QPainter p(&direct);
    p.translate(7, 3);
    DrawGridLines(p, lines, QColor(10, 20, 30));
  }
  {
    QPainter p(&filled);
    p.translate(7, 3);
    p.setClipRect(lines.area);  // takes the painter's own way
    DrawGridLines(p, lines, QColor(10, 20, 30));
  }
  EXPECT_EQ(direct, filled);
}
