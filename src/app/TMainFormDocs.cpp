// The documentation editor's handlers of the main window: the document of the
// selected emulator, reading and saving text files, find and replace, go to
// line, word wrap, printing, the status bar and the command states.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QTextCursor>

#include "app/TMainForm.h"
#include "catalogue/EmulatorRow.h"
#include "docs/DocumentBytes.h"
#include "docs/DocumentFile.h"
#include "docs/DocumentPrint.h"
#include "platform/AppPaths.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "widgets/Dialogs.h"
#include "widgets/DocEditor.h"
#include "widgets/SearchDialog.h"

using rix::Dialogs;
using rix::SearchFlag;

namespace {

const QString kTextFilter = QStringLiteral("*.txt 檔案|*.txt|*.htm 檔案|*.htm|*.* 全部檔案|*.*");

Dialogs::FileRequest TextFileRequest() {
  Dialogs::FileRequest r;
  r.filter = kTextFilter;
  r.defaultSuffix = QStringLiteral("txt");
  return r;
}

QString NotFound(const QString& text) {
  return QStringLiteral("找不到 '") + text + QStringLiteral("' 字串！");
}

}  // namespace

void TMainForm::WireEmuDoc() {
  FindDialog1 = new rix::SearchDialog(rix::SearchDialog::Kind::Find, this);
  ReplaceDialog1 = new rix::SearchDialog(rix::SearchDialog::Kind::Replace, this);
  for (rix::SearchDialog* d : {FindDialog1, ReplaceDialog1})
    connect(d, &rix::SearchDialog::find, this, [this, d] { Guard([&] { FindDialog1Find(d); }); });
  connect(ReplaceDialog1, &rix::SearchDialog::replace, this,
          [this](bool all) { Guard([&] { ReplaceDialog1Replace(all); }); });
  EmuDoc->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(EmuDoc, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { MemoPopupMenu->exec(EmuDoc->viewport()->mapToGlobal(p)); });
  EmuDoc->addActions(MemoPopupMenu->actions());
  connect(EmuDoc, &rix::DocEditor::showStatus, this,
          [this](int line, int column) { Guard([&] { EmuDocShowStatus(EmuDoc, line, column); }); });
  connect(EmuDoc, &rix::DocEditor::mousePressed, this, [this] { EmuDocMouseDown(EmuDoc); });
}

// ---------------------------------------------------------------- files

void TMainForm::ConfirmSaveDocument() {
  if (!ActiveEditor->document()->isModified()) return;
  if (dialogs().messageBox(Dialogs::Kind::Confirm, QStringLiteral("說明內容已修改，是否存檔？"),
                           Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
    return;
  // Without a document file, Yes asks where to save instead of dropping the edits.
  if (DocFile.isEmpty())
    MemoSaveAs1Click();
  else
    MemoSave1Click();
}

void TMainForm::LoadDocument(int row) {
  DocFile = rix::ApplyAppDirRule(
      rix::Big5Decode(rix::TrimBytes(EmuGrid->cell(rix::emucol::Document, row))), AppDir());
  const QString native = rix::ResolvePath(DocFile);
  if (rix::FileExists(native)) {
    try {
      DocStamp = rix::StampOf(native);
      rix::LoadDocumentFile(*ActiveEditor, native);
      return;
    } catch (const rix::FileError& e) {
      // A FIFO or a device named as the document: said once, then the
      // selection goes on as for a missing document.
      if (e.code() != 3) throw;
      dialogs().errorBox(e.text());
    }
  }
  rix::ClearDocument(*ActiveEditor);
  DocFile.clear();
}

void TMainForm::MemoSave1Click() {
  if (DocFile.isEmpty()) return;
  const QString native = rix::ResolvePath(DocFile);
  if (!MayOverwrite(native, DocStamp)) return;
  rix::SaveDocumentFile(*ActiveEditor, native);
  DocStamp = rix::StampOf(native);
}

void TMainForm::MemoOpen1Click(QObject* sender) {
  const auto chosen = dialogs().openFile(TextFileRequest());
  if (!chosen) return;
  if (sender == MemoOpen1 || sender == MemoOpenSB) {
    rix::ReadTextFile(*ActiveEditor, *chosen, false);
  } else if (sender == MemoAdd1 || sender == MemoAddSB) {
    ActiveEditor->caretTo(ActiveEditor->lineCount(), 1);
    rix::ReadTextFile(*ActiveEditor, *chosen, true);
  } else {
    rix::ReadTextFile(*ActiveEditor, *chosen, true);
  }
}

void TMainForm::MemoSaveAs1Click() {
  const auto chosen = dialogs().saveFile(TextFileRequest());
  if (!chosen) return;
  if (rix::FileExists(*chosen) &&
      dialogs().messageBox(Dialogs::Kind::Confirm,
                           QStringLiteral("檔案 ") + rix::FileNamePart(*chosen) +
                               QStringLiteral(" 已存在，是否覆蓋？"),
                           Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
    return;
  rix::SaveDocumentFile(*ActiveEditor, *chosen);
  // Written over the document's own file, that is now the version on disk.
  if (!DocFile.isEmpty() && rix::ResolvePath(DocFile) == *chosen) DocStamp = rix::StampOf(*chosen);
}

// ---------------------------------------------------------------- editing

void TMainForm::MemoUndo1Click() { ActiveEditor->undo(); }
void TMainForm::MemoRedo1Click() { ActiveEditor->redo(); }
void TMainForm::MemoSelectAll1Click() { ActiveEditor->selectAll(); }
void TMainForm::MemoCopyToClipboard1Click() { ActiveEditor->copy(); }
void TMainForm::MemoCutToClipboard1Click() { ActiveEditor->cut(); }
void TMainForm::MemoPasteFromClipboard1Click() { ActiveEditor->paste(); }

// ---------------------------------------------------------------- find and replace

void TMainForm::MemoFind1Click() { FindDialog1->execute(); }

void TMainForm::MemoReplace1Click() {
  ReplaceDialog1->execute();
  SearchOptions = {};
  SearchOptions.setFlag(SearchFlag::MatchCase, ReplaceDialog1->matchCase());
  SearchOptions.setFlag(SearchFlag::WholeWord, ReplaceDialog1->wholeWord());
}

bool TMainForm::SearchEditor(const QString& text) {
  QTextCursor c = ActiveEditor->textCursor();
  if (!rix::SearchDocument(c, text, SearchOptions)) return false;
  ActiveEditor->setTextCursor(c);
  ActiveEditor->ensureCursorVisible();
  return true;
}

void TMainForm::FindDialog1Find(rix::SearchDialog* sender) {
  SearchOptions = {};
  SearchOptions.setFlag(SearchFlag::Backward, !sender->searchDown());
  SearchOptions.setFlag(SearchFlag::MatchCase, sender->matchCase());
  SearchOptions.setFlag(SearchFlag::WholeWord, sender->wholeWord());
  if (sender == FindDialog1) FindDialog1->close();
  const QString text = sender->findText();
  if (!SearchEditor(text)) dialogs().messageBox(Dialogs::Kind::Info, NotFound(text), Dialogs::Ok);
  // Find next goes on with the replace dialog's text.
  if (sender == ReplaceDialog1) FindDialog1->setFindText(text);
  UpdateMemoCommands();
}

void TMainForm::ReplaceDialog1Replace(bool all) {
  SearchOptions = {};
  SearchOptions.setFlag(SearchFlag::MatchCase, ReplaceDialog1->matchCase());
  SearchOptions.setFlag(SearchFlag::WholeWord, ReplaceDialog1->wholeWord());
  SearchOptions |= all ? SearchFlag::ReplaceAll : SearchFlag::ReplaceOne;
  QTextCursor c = ActiveEditor->textCursor();
  const int n = rix::ReplaceInDocument(c, ReplaceDialog1->findText(), ReplaceDialog1->replaceText(),
                                       SearchOptions);
  ActiveEditor->setTextCursor(c);
  ActiveEditor->ensureCursorVisible();
  if (n == -1)
    dialogs().messageBox(Dialogs::Kind::Info, NotFound(ReplaceDialog1->findText()), Dialogs::Ok);
}

void TMainForm::MemoFindNext1Click() {
  SearchOptions &= ~rix::SearchOptions(SearchFlag::ReplaceOne | SearchFlag::ReplaceAll);
  const QString text = FindDialog1->findText();
  if (!SearchEditor(text)) dialogs().messageBox(Dialogs::Kind::Info, NotFound(text), Dialogs::Ok);
}

// ---------------------------------------------------------------- lines, wrap, print

void TMainForm::MemoGoToLine1Click() {
  const auto answer =
      dialogs().inputQuery(QStringLiteral("跳到指定的行號"),
                           QStringLiteral("請輸入行的編號（1 到 ") +
                               QString::number(ActiveEditor->lineCount()) + QStringLiteral(")"),
                           QStringLiteral("1"), 255);
  if (!answer) return;
  int line = 0;
  // An unusable answer does nothing.
  if (rix::ParseWholeNumber(rix::TrimBytes(answer->toLatin1()), &line))
    ActiveEditor->caretTo(line, 1);
}

void TMainForm::MemoWrap1Click() {
  // The menu item has flipped its check mark (the button triggers the item).
  ActiveEditor->setWordWrap(MemoWrap1->isChecked());
}

void TMainForm::MemoPrint1Click() {
  const rix::DocEditor::Selection s = ActiveEditor->selection();
  QPrinter printer;
  Dialogs::PrintRequest request;
  request.selectionOffered = s.selected;
  const auto answer = dialogs().printDialog(printer, request);
  if (!answer) return;
  rix::PrintLines(printer, ActiveEditor->font(),
                  rix::DocumentPrintLines(*ActiveEditor, answer->selectionOnly));
  QCoreApplication::processEvents();
}

// ---------------------------------------------------------------- status

void TMainForm::EmuDocShowStatus(rix::DocEditor* sender, int line, int column) {
  StatusPanels[0]->setText(QString::number(line) + u':' + QString::number(column));
  StatusPanels[1]->setText(sender->document()->isModified() ? QStringLiteral("已修改") : QString());
  StatusPanels[2]->setText(QStringLiteral("總行: ") + QString::number(sender->lineCount()));
  StatusPanels[3]->setText(QStringLiteral("首行: ") + QString::number(sender->topLine()));
  StatusPanels[4]->setText(QStringLiteral("位元: ") +
                           QString::number(rix::DocumentBytes::of(sender->document())->total()));
  StatusPanels[5]->setText(sender->insertMode() ? QStringLiteral("插入") : QStringLiteral("覆蓋"));
  UpdateMemoCommands();
  const bool selected = sender->textCursor().hasSelection();
  MemoCopyToClipboard1->setEnabled(selected);
  MemoCutToClipboard1->setEnabled(selected);
}

void TMainForm::UpdateMemoCommands() {
  const qint64 bytes = rix::DocumentBytes::of(ActiveEditor->document())->total();
  MemoFind1->setEnabled(bytes > 0);
  MemoReplace1->setEnabled(bytes > 0);
  MemoGoToLine1->setEnabled(bytes > 0);
  MemoFindNext1->setEnabled(bytes >= 1 && !FindDialog1->findText().isEmpty());
}

void TMainForm::EmuDocMouseDown(rix::DocEditor* sender) { ActiveEditor = sender; }
