#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "docs/DocumentSearch.h"
#include "games/GameArchives.h"
#include "platform/FileOps.h"
#include "widgets/StringGrid.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QFrame;
class QFocusFrame;
class TAutoTreeView;
class TRixLED;
class TASLink;
class TWinSaver;

namespace rix {
class Dialogs;
class ProcessStarter;
class UnpackArea;
class CaptionBar;
class PanelLabel;
class PictureView;
class CommonPage;
class NeoRagePage;
class ZsnesPage;
class DocEditor;
class DirectoryIndex;
struct EmulatorRow;
class SearchDialog;
}  // namespace rix

// What the main window is given from outside, so that a test can build it
// over a directory of its own with scripted dialogs.
struct MainFormSetup {
  QString appDir;                          // the application directory, ending with "/"
  QString tempDir;                         // the private temporary directory, ending with "/"
  rix::Dialogs* dialogs = nullptr;         // every box and dialog goes here
  QWidget* splash = nullptr;               // freed at the first show
  rix::ProcessStarter* starter = nullptr;  // starts the emulators
  QString settingsDir;  // where the window layout is remembered; empty: not remembered
};

// The main window: owns every component and all program state. Handlers keep
// the names of the controls and events they serve; their bodies call the
// subsystems. They are spread over one source file per subsystem.
class TMainForm : public QMainWindow {
  Q_OBJECT

public:
  explicit TMainForm(const MainFormSetup& setup, QWidget* parent = nullptr);
  ~TMainForm() override;

  // Application-wide values, fixed at creation.
  const QString& AppDir() const { return appDir_; }
  const QString& TempDir() const { return tempDir_; }
  rix::Dialogs& dialogs() const { return *dialogs_; }

  // Runs an action as the event dispatch does: a file error ends the action
  // and is shown in the application's error box.
  void Guard(const std::function<void()>& action);

  // Work the first painting of the window need not wait for, run once the
  // window has been painted.
  std::function<void()> afterFirstPaint;

  // ---- components (named as in the window layout) ----
  rix::CaptionBar* MSOfficeCaption1 = nullptr;
  QToolBar* GridToolBar = nullptr;
  QAction *EditModeSB = nullptr, *ReloadSB = nullptr, *SaveSB = nullptr, *SaveToHTMLSB = nullptr,
          *FindFirstSB = nullptr, *FindNextSB = nullptr, *AutoGridMakeSB = nullptr,
          *InsertRowSB = nullptr, *DeleteRowSB = nullptr, *ClearRowSB = nullptr,
          *ClearAllSB = nullptr, *PrintSB = nullptr;
  TRixLED* RixLED1 = nullptr;
  QFrame* Panel1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QWidget* Panel4 = nullptr;
  QWidget* EmuArea = nullptr;  // the area shared by the table and the tree
  rix::StringGrid* EmuGrid = nullptr;
  TAutoTreeView* EmuTree = nullptr;
  TASLink* WWWLink = nullptr;
  QSplitter* Splitter2 = nullptr;
  QFrame* ImagePanel = nullptr;
  rix::PictureView* GameImage = nullptr;
  QTabWidget* RomPage = nullptr;
  QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr;
  rix::StringGrid* RomGrid = nullptr;
  rix::PanelLabel* RomPanel = nullptr;
  QStackedWidget* SetNotebook = nullptr;
  rix::CommonPage* CommonPage = nullptr;
  rix::NeoRagePage* NeoRagePage = nullptr;
  rix::ZsnesPage* ZsnesPage = nullptr;
  QLabel *Label1 = nullptr, *Label6 = nullptr;
  QLineEdit *CommandEdit1 = nullptr, *CommandEdit2 = nullptr;
  QPushButton* SaveCommandBtn = nullptr;
  QMainWindow* Dock9710 = nullptr;
  QToolBar* MemoToolBar = nullptr;
  QAction *MemoOpenSB = nullptr, *MemoSaveAsSB = nullptr, *MemoUndoSB = nullptr,
          *MemoRedoSB = nullptr, *MemoSelectAllSB = nullptr, *MemoCopyToClipboardSB = nullptr,
          *MemoCutToClipboardSB = nullptr, *MemoPasteFromClipboardSB = nullptr,
          *MemoFindSB = nullptr, *MemoReplaceSB = nullptr, *MemoFindNextSB = nullptr,
          *MemoGoToLineSB = nullptr, *MemoInsertSB = nullptr, *MemoAddSB = nullptr,
          *MemoWrapSB = nullptr, *MemoPrintSB = nullptr;
  rix::DocEditor* EmuDoc = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QList<QLabel*> StatusPanels;
  QMenu* GridPopupMenu = nullptr;
  QAction *EditMode1 = nullptr, *Reload1 = nullptr, *Save1 = nullptr, *SaveToHTML1 = nullptr,
          *FindFirst1 = nullptr, *FindNext1 = nullptr, *AutoGridMake1 = nullptr,
          *InsertRow1 = nullptr, *DeleteRow1 = nullptr, *ClearRow1 = nullptr, *ClearAll1 = nullptr,
          *ColsTools1 = nullptr, *RowUpper1 = nullptr, *RowLower1 = nullptr, *RowTrim1 = nullptr,
          *RowUniform1 = nullptr, *RowPicAddText1 = nullptr, *RowDelPic1 = nullptr,
          *Print1 = nullptr, *GridToolBar1 = nullptr, *ShowTree1 = nullptr;
  QMenu* EmuTreePopupMenu = nullptr;
  QAction *ShowEmuGrid1 = nullptr, *Reload2 = nullptr;
  QMenu* MemoPopupMenu = nullptr;
  QAction *MemoOpen1 = nullptr, *MemoSaveAs1 = nullptr, *MemoUndo1 = nullptr, *MemoRedo1 = nullptr,
          *MemoSelectAll1 = nullptr, *MemoCopyToClipboard1 = nullptr,
          *MemoCutToClipboard1 = nullptr, *MemoPasteFromClipboard1 = nullptr, *MemoFind1 = nullptr,
          *MemoReplace1 = nullptr, *MemoFindNext1 = nullptr, *MemoGoToLine1 = nullptr,
          *MemoInsert1 = nullptr, *MemoAdd1 = nullptr, *MemoWrap1 = nullptr, *MemoPrint1 = nullptr,
          *MemoToolBar1 = nullptr;
  rix::SearchDialog* FindDialog1 = nullptr;
  rix::SearchDialog* ReplaceDialog1 = nullptr;
  QTimer* Timer1 = nullptr;
  TWinSaver* WinSaver1 = nullptr;
  QFocusFrame* PaneFocusFrame = nullptr;

  // ---- state fields ----
  bool SplashPending = false;
  bool CatalogueLoading = false;
  rix::StringGrid* ActiveGrid = nullptr;
  QString RomListFile;
  QString RomDir, RomFile, RomMember;
  QString DocFile;
  // Size and time of each file as this window last read or wrote it; a save
  // that finds the disk otherwise asks before replacing another program's work.
  rix::FileStamp EmuTableStamp, RomListStamp, DocStamp;
  QString UnzipPath;
  QString UnzipName;
  bool UnzipIsDir = false;
  // Where automatic list building last looked; the launch never moves it.
  QString CurrentDir;
  int LaunchTicks = 0;
  bool ParsingOptions = false;
  rix::DocEditor* ActiveEditor = nullptr;
  rix::SearchOptions SearchOptions;

  // ---- start-up and window (application shell) ----
  void FormCreate();
  void FormShow();
  void FormResize();
  void FormCloseQuery(bool& canClose);
  void FormDestroy();
  void Timer1Timer();
  void ShowEmuGrid1Click();
  void ShowTree1Click();
  // True while no cell of the emulator table holds anything.
  bool CatalogueEmpty() const;
  // Widens the left column to show the table's first four columns.
  void WidenLeftColumnForTable();
  // The shown one of table and tree.
  QWidget* LeftPane() const;
  // What F6 moves through, in order: table or tree, the open tab's content,
  // the tab strip.
  QList<QWidget*> Panes() const;
  void FocusPane(int step);
  void GridToolBar1Click();
  void MemoToolBar1Click();
  bool EnsureFileDir(const QString& path);

  // ---- emulator catalogue ----
  void LoadCatalogue();
  void EnsureCatalogueDirs();
  // While the catalogue holds no emulator, the list panel says how to add one.
  void ShowFirstEmulatorHint();
  // At a load, the tree selects the node of the emulator whose list is shown.
  void SelectTreeNodeOfRow1();
  rix::StringGrid::EditorKind EmuGridGetEditorType(int col, int row);
  void EmuGridEllipsClick(int col, int row, QByteArray& value);
  void EmuGridKeyUp(int key, Qt::KeyboardModifiers shift);
  void EmuGridClickCell(QObject* sender, int row, int col);
  // Shows an emulator of the table: its document, link, commands, options
  // page and game list (the list read again only when its file differs).
  void SelectEmulatorRow(int row);
  void RomGridMouseDown(rix::StringGrid* sender, Qt::MouseButton button);
  void Reload2Click();
  void EmuTreeChange(QObject* sender, QTreeWidgetItem* node);
  void EmuTreeClick();
  int EmuTreeGetImageIndex(QObject* sender, QTreeWidgetItem* node);
  int EmuTreeGetSelectedIndex(QObject* sender, QTreeWidgetItem* node);

  // ---- game list view ----
  void RomGridClickCell(QObject* sender, int row, int col);
  // The picture of a game row, or none when its file is missing.
  void ShowGamePicture(int row);
  void LoadRomDir();
  // What LoadRomDir sets RomDir to, without setting it.
  QString GameDirectory() const;
  void SplitRomCell(int row);
  void RomGridKeyPress(QChar key);
  void RomGridKeyUp(int key, Qt::KeyboardModifiers shift);
  void RomGridMouseUp(Qt::MouseButton button);
  void RomGridDblClickCell(QObject* sender, int row, int col);
  void CleanupUnzip();
  rix::StringGrid::EditorKind RomGridGetEditorType(int col, int row);
  void RomGridEllipsClick(int col, int row, QByteArray& value);
  // The game-file marker of every row, from one listing of the game directory;
  // `listed` is an index of it already started, used when it is of RomDir.
  // With `rowsShown` the list's rows are on screen already and only the lamp
  // column is drawn again; otherwise the whole view is rebuilt.
  void MarkGameFiles();
  void MarkGameFiles(rix::DirectoryIndex&& listed, bool rowsShown = false);
  // An empty game list (header and one empty row, nothing to save) and no picture.
  void EmptyRomList();

  // ---- documentation editor ----
  void ConfirmSaveDocument();
  void LoadDocument(int row);
  void MemoSave1Click();
  void MemoOpen1Click(QObject* sender);
  void MemoSaveAs1Click();
  void MemoUndo1Click();
  void MemoRedo1Click();
  void MemoSelectAll1Click();
  void MemoCopyToClipboard1Click();
  void MemoCutToClipboard1Click();
  void MemoPasteFromClipboard1Click();
  void MemoFind1Click();
  void MemoReplace1Click();
  void FindDialog1Find(rix::SearchDialog* sender);
  void ReplaceDialog1Replace(bool all);
  void MemoFindNext1Click();
  void MemoGoToLine1Click();
  void MemoWrap1Click();
  void MemoPrint1Click();
  void EmuDocShowStatus(rix::DocEditor* sender, int line, int column);
  void EmuDocMouseDown(rix::DocEditor* sender);
  // The enabled states of find, replace, find next and go to line.
  void UpdateMemoCommands();

  // ---- option pages ----
  // The shown page takes the selected emulator's after-game command (the
  // NeoRage page reads its switches from it); ParsingOptions keeps the page's
  // reports from writing the command back meanwhile.
  void ShowOptionsPage();
  // The after-game command edit takes the command a page's controls stand for.
  void ScanlinesChkClick(const QString& command);

  // ---- game list and tools ----
  void EditMode1Click();
  void Reload1Click();
  void Save1Click();
  // Writes a grid to its file: the emulator table to "RixFront.ini", the game
  // list to its list file (nothing while no list is loaded).
  void SaveGrid(rix::StringGrid* grid);
  // False when the file changed on disk since `stamp` was taken and the user
  // keeps the disk's version.
  bool MayOverwrite(const QString& nativePath, const rix::FileStamp& stamp);
  // Asked beside the document prompt when a table's changes would be lost
  // (the game list replaced, the window closed): Yes saves as Save1Click does.
  void ConfirmSaveList(rix::StringGrid* grid);
  void SaveToHTML1Click();
  void FindFirst1Click();
  void FindNext1Click();
  void AutoGridMakeSBClick();
  void InsertRow1Click();
  void DeleteRow1Click();
  void ClearRow1Click();
  void ClearAll1Click();
  void RowUpper1Click(QAction* sender);
  void RowPicAddText1Click();
  void RowDelPic1Click();
  void Print1Click();
  void SaveGridAsHtml(rix::StringGrid* grid);
  void RomPanelDblClick();
  // "遊戲總數: n" under the list; a lone blank row is no game.
  void ShowGameCount();
  void SaveCommandBtnClick();
  void RixLED1Click();

  // Native path of a program path (application-directory rule, separators,
  // drive, case-insensitive lookup).
  QString NativeOf(const QString& programPath) const;
  // The emulator table's current row.
  rix::EmulatorRow SelectedEmulator() const;

  // ---- picture tools ----
  // The picture name of a game row: column 4, lower-cased, then trimmed.
  QString PictureName(int row) const;
  // The picture path of a game row: the picture directory and the picture
  // name joined as they stand, the application-directory rule applied.
  QString PicturePath(const QString& pictureDir, int row) const;
  // The caption tool's caption and output folder (native, ending with "/"),
  // kept for the run.
  QString CaptionText;
  QString CaptionOutputDir;

  // The maker's web address: the banner names it, and it is the first caption.
  static QString MakerWebAddress();

  // ---- list editing tools ----
  // What find next continues from on one grid: the grid's own last search
  // text and the cell of its last hit. Row 0 after a miss makes the next
  // search start over at the top, row 1 included.
  struct FindState {
    QByteArray text;
    int col = 0;
    int row = 1;
  };
  QString SearchText;                          // the find prompt's text, for the whole program
  QString ListMask = QStringLiteral("*.zip");  // the mask of automatic list building, for the run
  // What the Save dialog keeps between uses: its folder and file name.
  QString SaveDialogDir, SaveDialogName;
  FindState EmuFind, RomFind;
  FindState& FindStateOf(rix::StringGrid* grid) { return grid == EmuGrid ? EmuFind : RomFind; }

protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildWindow();
  void BuildToolBars();
  void BuildMemoToolBar();
  void BuildMenus();
  void BuildMemoMenu();
  void WireEmuDoc();
  // Searches the active editor; a hit is selected and shown.
  bool SearchEditor(const QString& text);
  void BuildLeftColumn();
  void BuildPages();
  void WireGrids();
  void WireToolBarChecks();
  // Keyboard travel between the panes (F6, Shift+F6), the focus frame, and
  // keys that reach a hidden pane.
  void WirePanes();

  QString appDir_;
  QString tempDir_;
  rix::Dialogs* dialogs_;
  rix::ProcessStarter* starter_;
  rix::GameArchives archives_;                   // what the launch unpacks games with
  std::unique_ptr<rix::UnpackArea> unpackArea_;  // where this window's launches unpack
  QPointer<QWidget> splash_;
  QMetaObject::Connection focusWatch_;
  bool emuGridKeyPressed_ = false;  // a key went down in the table since it took the focus
  bool shownOnce_ = false;
};
