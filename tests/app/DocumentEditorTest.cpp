// The documentation editor through the real window: the prompt that protects
// edits, files read and saved, find and replace through the real dialogs, go
// to line, word wrap, printing, the status bar and the command states.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>

#include "EmulatorLine.h"
#include "TestSupport.h"
#include "app/TMainForm.h"
#include "docs/DocumentPrint.h"
#include "widgets/AutoTreeView.h"
#include "widgets/DocEditor.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/SearchDialog.h"

using namespace rix;

namespace {

const QString kPrompt = QStringLiteral("說明內容已修改，是否存檔？");
const QString kTextFilter = QStringLiteral("*.txt 檔案|*.txt|*.htm 檔案|*.htm|*.* 全部檔案|*.*");

QByteArray Emu(int key, const QString& doc) {
  return rixtest::EmulatorLine(
      {.key = QString::number(key), .document = doc, .program = "emu\\run", .list = "l.lst"});
}

std::unique_ptr<TMainForm> Form(const QString& appDir, ScriptedDialogs& dialogs) {
  MainFormSetup s;
  s.appDir = appDir;
  s.tempDir = appDir + "tmp/";
  s.dialogs = &dialogs;
  return std::make_unique<TMainForm>(s);
}

class DocumentEditorTest : public ::testing::Test {
protected:
  // Emulators 1 and 2 have documents, 3 names a missing one.
  void Make(const QByteArray& a = "alpha\r\none\r\n", const QByteArray& b = "beta\r\n") {
    ASSERT_TRUE(rixtest::WriteAll(dir.file("docs/a.txt"), a));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("docs/b.txt"), b));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("l.lst"), "h\r\n,x\r\n"));
    QByteArray table =
        rixtest::TableLine({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
    table += Emu(1, "docs\\a.txt");
    table += Emu(2, "docs\\b.txt");
    table += Emu(3, "docs\\none.txt");
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), table));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "A,1\r\nB,2\r\nC,3\r\n"));
    form = Form(dir.path(), dialogs);
    form->resize(800, 600);
    form->show();
    form->RomPage->setCurrentIndex(2);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    doc()->setFocus();
  }
  DocEditor* doc() const { return form->EmuDoc; }
  QString text() const { return doc()->toPlainText(); }
  void Select(int row) {
    form->EmuGrid->setRow(row);
    form->EmuGridClickCell(form->EmuGrid, row, 0);
  }
  void Type(const QString& s) {
    doc()->setFocus();
    QTest::keyClicks(doc(), s);
  }
  // A key pressed in the editor, as the focus widget of the active window, so
  // that the editor's shortcuts apply.
  void Key(Qt::Key k, Qt::KeyboardModifiers m = {}) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    doc()->setFocus();
    QTest::keyClick(doc(), k, m);
  }
  void Caret(int position) {
    QTextCursor c = doc()->textCursor();
    c.setPosition(position);
    doc()->setTextCursor(c);
  }
  QString Sel() const {
    const QTextCursor c = doc()->textCursor();
    return QString::number(c.selectionStart()) + '-' + QString::number(c.selectionEnd());
  }
  int Prompts() const {
    int n = 0;
    for (const auto& s : dialogs.shown()) n += s.text == kPrompt;
    return n;
  }
  QString Panel(int i) const { return form->StatusPanels[i]->text(); }
  QString LastText() const {
    return dialogs.shown().isEmpty() ? QString() : dialogs.shown().last().text;
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(DocumentEditorTest, ThePromptComesBeforeEveryKindOfSelectionOnlyWhenModified) {
  Make();
  EXPECT_EQ(form->DocFile, dir.path() + "docs\\a.txt");
  EXPECT_EQ(text(), "alpha\none\n");
  // Unchanged: a mouse press on the table switches without a question.
  form->ShowEmuGrid1Click();
  StringGrid* g = form->EmuGrid;
  QTest::mousePress(g->viewport(), Qt::LeftButton, {},
                    g->visualRect(g->gridModel()->index(1, 0)).center());
  EXPECT_EQ(text(), "beta\n");
  EXPECT_TRUE(dialogs.shown().isEmpty());
  // A key in the table: No drops the edit, the next document replaces it.
  Type("X");
  EXPECT_EQ(Panel(1), QStringLiteral("已修改"));
  dialogs.answerButton(Dialogs::No);
  QTest::keyClick(g, Qt::Key_Up);
  ASSERT_EQ(Prompts(), 1);
  EXPECT_EQ(dialogs.shown().last().kind, "confirm");
  EXPECT_EQ(dialogs.shown().last().buttons, QStringList({"是(&Y)", "否(&N)"}));
  EXPECT_EQ(text(), "alpha\none\n");
  EXPECT_EQ(rixtest::ReadAll(dir.file("docs/b.txt")), "beta\r\n");
  // A tree node: Yes saves to the document that was shown.
  Type("Y");
  dialogs.answerButton(Dialogs::Yes);
  form->EmuTree->setCurrentItem(form->EmuTree->topLevelItem(1));
  EXPECT_EQ(Prompts(), 2);
  EXPECT_EQ(rixtest::ReadAll(dir.file("docs/a.txt")), "Yalpha\r\none\r\n");
  EXPECT_EQ(text(), "beta\n");
  // A reload selects again, and reads the document from disk again.
  Type("Z");
  dialogs.answerButton(Dialogs::No);
  form->ActiveGrid = form->RomGrid;
  form->ReloadSB->trigger();
  EXPECT_EQ(Prompts(), 3);
  EXPECT_EQ(text(), "beta\n");
  form->ReloadSB->trigger();
  EXPECT_EQ(Prompts(), 3);
  // Closing asks only when modified; Yes saves and the window closes.
  Type("W");
  dialogs.answerButton(Dialogs::Yes);
  form->close();
  EXPECT_EQ(Prompts(), 4);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(rixtest::ReadAll(dir.file("docs/b.txt")), "Wbeta\r\n");
  form->show();
  form->close();
  EXPECT_EQ(Prompts(), 4);
}

TEST_F(DocumentEditorTest, EditsOfAnEmulatorWithoutADocumentAreSavedWhereTheUserSays) {
  Make();
  Select(3);
  EXPECT_EQ(form->DocFile, "");
  EXPECT_EQ(text(), "");
  Type("new");
  dialogs.answerButton(Dialogs::Yes);
  dialogs.answerText(dir.file("kept.txt"));
  Select(1);
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[1].kind, "save");
  EXPECT_EQ(dialogs.shown()[1].text, kTextFilter);
  EXPECT_EQ(dialogs.shown()[1].defaultSuffix, "txt");
  EXPECT_EQ(rixtest::ReadAll(dir.file("kept.txt")), "new\r\n");
  EXPECT_EQ(form->DocFile, dir.path() + "docs\\a.txt");
  // Cancel in the save dialog drops the edits, as No would.
  Select(3);
  Type("gone");
  dialogs.answerButton(Dialogs::Yes);
  dialogs.answerCancel();
  Select(1);
  EXPECT_EQ(text(), "alpha\none\n");
  EXPECT_EQ(dialogs.pending(), 0);
}

TEST_F(DocumentEditorTest, AFailedSaveKeepsTheEditsTheDocumentAndTheWindow) {
  Make();
  Caret(text().size());
  doc()->insertPlainText(QString(3000, u'e'));
  rixtest::WithFileSizeLimit(1024, [&] {
    dialogs.answerButton(Dialogs::Yes);
    form->EmuTree->setCurrentItem(form->EmuTree->topLevelItem(1));
    dialogs.answerButton(Dialogs::Yes);
    form->close();
  });
  ASSERT_EQ(dialogs.shown().size(), 4);
  EXPECT_EQ(dialogs.shown()[1].kind, "error");
  EXPECT_EQ(dialogs.shown()[1].text, QStringLiteral("輸出入錯誤 27"));
  EXPECT_EQ(rixtest::ReadAll(dir.file("docs/a.txt")), "alpha\r\none\r\n");
  EXPECT_EQ(form->DocFile, dir.path() + "docs\\a.txt");
  EXPECT_TRUE(text().endsWith("eee"));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(DocumentEditorTest, LinesEndingInLfLongLinesAndBadBytesSurviveASave) {
  QByteArray file = "one\ntwo  \n" + QByteArray(200000, 'x') + "\n\xA3\xC0\xFF end\n";
  Make(file);
  EXPECT_EQ(doc()->blockCount(), 5);
  EXPECT_EQ(Panel(4), QStringLiteral("位元: ") + QString::number(file.size() - 2 + 4));
  // Save As an unedited document: only the named changes.
  dialogs.answerText(dir.file("copy.txt"));
  form->MemoSaveAsSB->trigger();
  QByteArray expected = file;
  expected.replace("  \n", "\n").replace("\n", "\r\n");
  EXPECT_EQ(rixtest::ReadAll(dir.file("copy.txt")), expected);
}

TEST_F(DocumentEditorTest, ReadingFilesAndSavingUnderAnotherName) {
  Make("one\r\ntwo\r\nlast");
  ASSERT_TRUE(rixtest::WriteAll(dir.file("more.txt"), "m1\r\nm2\r\n"));
  // Insert: the lines go before the last paragraph, the caret stays.
  Caret(5);
  dialogs.answerText(dir.file("more.txt"));
  form->MemoInsertSB->trigger();
  EXPECT_EQ(dialogs.shown().last().kind, "open");
  EXPECT_EQ(dialogs.shown().last().text, kTextFilter);
  EXPECT_EQ(dialogs.shown().last().defaultSuffix, "txt");
  EXPECT_EQ(text(), "one\ntwo\nm1\nm2\nlast");
  EXPECT_EQ(doc()->textCursor().position(), 5);
  EXPECT_EQ(Panel(1), "");
  // Add (Ctrl+A while the editor has the focus): the caret goes to the last line first.
  dialogs.answerText(dir.file("more.txt"));
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(text(), "one\ntwo\nm1\nm2\nm1\nm2\nlast");
  EXPECT_EQ(Panel(0), "7:1");
  EXPECT_FALSE(doc()->textCursor().hasSelection());
  // Open replaces everything: flag cleared, the emulator's document file stays.
  Type("!");
  dialogs.answerText(dir.file("more.txt"));
  form->MemoOpen1->trigger();
  EXPECT_EQ(text(), "m1\nm2\n");
  EXPECT_EQ(Panel(1), "");
  EXPECT_EQ(form->DocFile, dir.path() + "docs\\a.txt");
  Type("+");
  dialogs.answerButton(Dialogs::Yes);
  Select(2);
  EXPECT_EQ(rixtest::ReadAll(dir.file("docs/a.txt")), "+m1\r\nm2\r\n");
  // Save As: the overwrite question, No ends; Yes writes; DocFile stays and
  // the flag is cleared, so the next switch asks nothing.
  Type("b");
  dialogs.answerText(dir.file("more.txt"));
  dialogs.answerButton(Dialogs::No);
  form->MemoSaveAs1->trigger();
  EXPECT_EQ(LastText(), QStringLiteral("檔案 more.txt 已存在，是否覆蓋？"));
  EXPECT_EQ(rixtest::ReadAll(dir.file("more.txt")), "m1\r\nm2\r\n");
  dialogs.answerText(dir.file("more.txt"));
  dialogs.answerButton(Dialogs::Yes);
  form->MemoSaveAs1->trigger();
  EXPECT_EQ(rixtest::ReadAll(dir.file("more.txt")), "bbeta\r\n");
  EXPECT_EQ(form->DocFile, dir.path() + "docs\\b.txt");
  const int prompts = Prompts();
  Select(1);
  EXPECT_EQ(Prompts(), prompts);
  EXPECT_EQ(rixtest::ReadAll(dir.file("docs/b.txt")), "beta\r\n");
}

TEST_F(DocumentEditorTest, FindAndReplaceThroughTheirDialogs) {
  Make("apple Apple\r\npineapple apple\r\napple");
  SearchDialog* find = form->FindDialog1;
  EXPECT_FALSE(form->MemoFindNext1->isEnabled());
  Key(Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(find->isVisible());
  EXPECT_TRUE(find->matchCase());
  EXPECT_TRUE(find->searchDown());
  QTest::keyClicks(find->FindEdit, "apple");
  QTest::mouseClick(find->FindNextBtn, Qt::LeftButton);
  EXPECT_FALSE(find->isVisible());
  EXPECT_EQ(Sel(), "0-5");
  EXPECT_TRUE(form->MemoFindNext1->isEnabled());
  EXPECT_TRUE(form->MemoFindNextSB->isEnabled());
  Key(Qt::Key_F3);
  EXPECT_EQ(Sel(), "16-21");  // inside "pineapple"
  form->MemoFindSB->trigger();
  QTest::mouseClick(find->WholeWordChk, Qt::LeftButton);
  QTest::mouseClick(find->FindNextBtn, Qt::LeftButton);
  EXPECT_EQ(Sel(), "22-27");
  Key(Qt::Key_F3);
  EXPECT_EQ(Sel(), "28-33");
  Key(Qt::Key_F3);  // no wrap to the top
  EXPECT_EQ(Sel(), "28-33");
  EXPECT_EQ(dialogs.shown().last().kind, "info");
  EXPECT_EQ(LastText(), QStringLiteral("找不到 'apple' 字串！"));
  EXPECT_EQ(dialogs.shown().last().buttons, QStringList{QStringLiteral("確定")});
  // Up, without regard to case.
  form->MemoFind1->trigger();
  QTest::mouseClick(find->UpRadio, Qt::LeftButton);
  QTest::mouseClick(find->MatchCaseChk, Qt::LeftButton);
  QTest::mouseClick(find->FindNextBtn, Qt::LeftButton);
  EXPECT_EQ(Sel(), "22-27");
  Key(Qt::Key_F3);
  EXPECT_EQ(Sel(), "6-11");

  // The replace dialog stays open; its Find Next hands its text to find next.
  SearchDialog* replace = form->ReplaceDialog1;
  Caret(0);
  Key(Qt::Key_R, Qt::ControlModifier);
  ASSERT_TRUE(replace->isVisible());
  QTest::keyClicks(replace->FindEdit, "apple");
  QTest::keyClicks(replace->ReplaceEdit, "pear");
  QTest::mouseClick(replace->FindNextBtn, Qt::LeftButton);
  EXPECT_TRUE(replace->isVisible());
  EXPECT_EQ(Sel(), "0-5");
  EXPECT_EQ(find->findText(), "apple");
  QTest::mouseClick(replace->ReplaceBtn, Qt::LeftButton);
  EXPECT_EQ(text(), "pear Apple\npineapple apple\napple");
  EXPECT_EQ(Sel(), "15-20");  // the next hit, case matched
  Key(Qt::Key_F3);            // forward now, as the replace dialog searches
  EXPECT_EQ(Sel(), "21-26");
  QTest::mouseClick(replace->WholeWordChk, Qt::LeftButton);
  QTest::mouseClick(replace->ReplaceAllBtn, Qt::LeftButton);
  EXPECT_EQ(text(), "pear Apple\npineapple pear\npear");
  QTest::mouseClick(replace->ReplaceAllBtn, Qt::LeftButton);
  EXPECT_EQ(LastText(), QStringLiteral("找不到 'apple' 字串！"));
  EXPECT_EQ(Panel(1), QStringLiteral("已修改"));
}

TEST_F(DocumentEditorTest, GoToLineTakesOnlyALineThatExists) {
  Make("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n");
  Caret(4);  // line 3
  for (const char* answer : {"0", "11", "seven", "7x", ""}) {
    dialogs.answerText(answer);
    form->MemoGoToLineSB->trigger();
    EXPECT_EQ(doc()->caretLine(), 3) << answer;
  }
  dialogs.answerCancel();
  Key(Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(doc()->caretLine(), 3);
  const auto& asked = dialogs.shown().last();
  EXPECT_EQ(asked.kind, "input");
  EXPECT_EQ(asked.caption, QStringLiteral("跳到指定的行號"));
  EXPECT_EQ(asked.text, QStringLiteral("請輸入行的編號（1 到 10)"));
  EXPECT_EQ(asked.preset, "1");
  Caret(5);
  dialogs.answerText(" 7 ");
  form->MemoGoToLine1->trigger();
  EXPECT_EQ(Panel(0), "7:1");
  dialogs.answerText("10");
  form->MemoGoToLine1->trigger();
  EXPECT_EQ(Panel(0), "10:1");
}

TEST_F(DocumentEditorTest, StatusPanelsAndCommandStatesFollowTheEditor) {
  Make();
  Select(3);
  EXPECT_EQ(form->StatusPanels[0]->width(), 90);
  EXPECT_EQ(form->StatusPanels[1]->width(), 50);
  QStringList panels;
  for (int i = 0; i < 6; ++i) panels << Panel(i);
  EXPECT_EQ(panels.join('|'), QStringLiteral("1:1||總行: 1|首行: 1|位元: 0|插入"));
  for (QAction* a : {form->MemoFind1, form->MemoReplace1, form->MemoFindNext1, form->MemoGoToLine1,
                     form->MemoFindSB, form->MemoReplaceSB, form->MemoFindNextSB,
                     form->MemoGoToLineSB, form->MemoCopyToClipboard1, form->MemoCutToClipboardSB})
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  Type("ab");
  Key(Qt::Key_Return);
  QTest::sendKeyEvent(QTest::Click, doc(), Qt::Key_unknown, QStringLiteral("中"), {});
  panels.clear();
  for (int i = 0; i < 6; ++i) panels << Panel(i);
  EXPECT_EQ(panels.join('|'), QStringLiteral("2:2|已修改|總行: 2|首行: 1|位元: 6|插入"));
  EXPECT_TRUE(form->MemoFindSB->isEnabled());
  EXPECT_TRUE(form->MemoGoToLine1->isEnabled());
  EXPECT_FALSE(form->MemoFindNext1->isEnabled());  // no find text yet
  // Insert toggles overwrite.
  Key(Qt::Key_Insert);
  EXPECT_EQ(Panel(5), QStringLiteral("覆蓋"));
  Caret(0);
  Type("Z");
  EXPECT_EQ(text(), QStringLiteral("Zb\n中"));
  Key(Qt::Key_Insert);
  EXPECT_EQ(Panel(5), QStringLiteral("插入"));
  // A selection enables copy and cut; the editor's keys act on the editor.
  Key(Qt::Key_End, Qt::ShiftModifier);
  EXPECT_TRUE(form->MemoCopyToClipboard1->isEnabled());
  EXPECT_TRUE(form->MemoCutToClipboardSB->isEnabled());
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "b");
  EXPECT_FALSE(form->MemoCopyToClipboardSB->isEnabled());
  Key(Qt::Key_B, Qt::ControlModifier);  // select all, not a table command
  EXPECT_EQ(Sel(), "0-3");
  form->MemoPasteFromClipboardSB->trigger();
  EXPECT_EQ(text(), "b");
  form->MemoUndoSB->trigger();
  EXPECT_EQ(text(), QStringLiteral("Z\n中"));
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(text(), "b");
  // The editor's shortcuts do nothing while another widget has the focus.
  form->RomGrid->setFocus();
  QTest::keyClick(form->RomGrid, Qt::Key_F, Qt::ControlModifier);
  EXPECT_FALSE(form->FindDialog1->isVisible());
}

TEST_F(DocumentEditorTest, WordWrapCountsDisplayLines) {
  QByteArray words;
  for (int i = 0; i < 60; ++i) words += "word" + QByteArray::number(i) + ' ';
  Make(words.trimmed() + "\r\nshort\r\n");
  EXPECT_EQ(Panel(2), QStringLiteral("總行: 3"));
  form->MemoWrapSB->trigger();
  EXPECT_TRUE(form->MemoWrap1->isChecked());
  EXPECT_TRUE(doc()->wordWrap());
  const int lines = doc()->lineCount();
  ASSERT_GT(lines, 4);
  EXPECT_EQ(Panel(2), QStringLiteral("總行: ") + QString::number(lines));
  // Go to line counts display lines: line 2 starts inside the first paragraph.
  dialogs.answerText("2");
  form->MemoGoToLine1->trigger();
  EXPECT_EQ(doc()->textCursor().blockNumber(), 0);
  EXPECT_GT(doc()->textCursor().position(), 0);
  EXPECT_EQ(Panel(0), "2:1");
  dialogs.answerText(QString::number(lines - 1));
  form->MemoGoToLine1->trigger();
  EXPECT_EQ(doc()->textCursor().block().text(), "short");
  // Printing all prints display lines.
  const QStringList printed = DocumentPrintLines(*doc(), false);
  EXPECT_EQ(printed.size(), lines);
  EXPECT_EQ(printed.join("").remove(' '), QString(words).remove(' ') + "short");
  form->MemoWrap1->trigger();
  EXPECT_FALSE(form->MemoWrap1->isChecked());
  EXPECT_EQ(Panel(2), QStringLiteral("總行: 3"));
}

TEST_F(DocumentEditorTest, PrintsAllOrTheSelectionToPdf) {
  Make("abcdef\r\n\tghi\r\nxyz\r\n");
  auto pdfText = [](const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
  };
  dialogs.answerPrint(dir.file("all.pdf"));
  form->MemoPrintSB->trigger();
  EXPECT_FALSE(dialogs.shown().last().selectionOffered);
  const QString all = pdfText(dir.file("all.pdf"));
  EXPECT_TRUE(all.contains("abcdef")) << all.toStdString();
  EXPECT_TRUE(all.contains("xyz"));
  // From column 4 of line 1 to column 2 of line 3.
  QTextCursor c = doc()->textCursor();
  c.setPosition(3);
  c.setPosition(13, QTextCursor::KeepAnchor);
  doc()->setTextCursor(c);
  EXPECT_EQ(DocumentPrintLines(*doc(), true), QStringList({"   def", "        ghi", "x"}));
  dialogs.answerPrint(dir.file("sel.pdf"), true);
  Key(Qt::Key_P, Qt::ControlModifier);
  EXPECT_TRUE(dialogs.shown().last().selectionOffered);
  const QString sel = pdfText(dir.file("sel.pdf"));
  EXPECT_TRUE(sel.contains("def")) << sel.toStdString();
  EXPECT_FALSE(sel.contains("abc"));
  EXPECT_FALSE(sel.contains("yz"));
  dialogs.answerCancel();
  form->MemoPrint1->trigger();
  EXPECT_EQ(dialogs.pending(), 0);
}

TEST(DocumentEditorDemo, EveryDemoEmulatorShowsItsDocument) {
  rixtest::ScratchDir dir;
  const QString demo = QStringLiteral(RIX_SOURCE_DIR "/demo/catalogue/");
  QDirIterator it(demo, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString from = it.next();
    ASSERT_TRUE(rixtest::WriteAll(dir.file(from.mid(demo.size())), rixtest::ReadAll(from)));
  }
  ScriptedDialogs dialogs;
  const auto form = Form(dir.path(), dialogs);
  for (int row = 1; row < form->EmuGrid->rowCount(); ++row) {
    form->EmuGrid->setRow(row);
    form->EmuGridClickCell(form->EmuGrid, row, 0);
    EXPECT_FALSE(form->DocFile.isEmpty()) << row;
    EXPECT_GE(form->EmuDoc->blockCount(), 10) << row;
    const QString text = form->EmuDoc->toPlainText();
    EXPECT_TRUE(std::none_of(text.begin(), text.end(), [](QChar c) {
      return c.unicode() >= 0xF880 && c.unicode() <= 0xF8FF;  // bytes that are no Big5
    })) << row;
  }
  EXPECT_TRUE(dialogs.shown().isEmpty());
}
