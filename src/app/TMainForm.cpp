#include "app/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFocusFrame>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "app/BannerSlot.h"
#include "app/CaptionBar.h"
#include "app/PanelLabel.h"
#include "app/TWinSaver.h"
#include "banner/TASLink.h"
#include "banner/TRixLED.h"
#include "catalogue/EmulatorRow.h"
#include "options/CommonPage.h"
#include "options/NeoRagePage.h"
#include "options/OptionsPages.h"
#include "options/ZsnesPage.h"
#include "platform/AppPaths.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/UnpackArea.h"
#include "widgets/AutoTreeView.h"
#include "widgets/Dialogs.h"
#include "widgets/DocEditor.h"
#include "widgets/Glyphs.h"
#include "widgets/GripSplitter.h"
#include "widgets/MenuShortcuts.h"
#include "widgets/PaneFocusFrame.h"
#include "widgets/PictureView.h"
#include "widgets/ToolDock.h"
#include "widgets/WaitCursor.h"

using rix::StringGrid;

TMainForm::TMainForm(const MainFormSetup& setup, QWidget* parent)
    : QMainWindow(parent),
      appDir_(setup.appDir),
      tempDir_(setup.tempDir),
      dialogs_(setup.dialogs),
      starter_(setup.starter),
      unpackArea_(std::make_unique<rix::UnpackArea>(
          setup.tempDir,
          [this](const rix::ProcessId& p) { return starter_ && starter_->running(p); })),
      splash_(setup.splash) {
  Q_ASSERT(dialogs_);
  CaptionText = MakerWebAddress();
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("RIX FrontEnd v0.8"));
  QFont f(QStringLiteral("Times New Roman"));
  f.setPixelSize(12);
  setFont(f);
  resize(681, 605);
  BuildWindow();
  WinSaver1 = new TWinSaver(this, setup.settingsDir);
  WinSaver1->setObjectName(QStringLiteral("WinSaver1"));
  WinSaver1->IniSection = QStringLiteral("RixFrontEnd");
  FormCreate();
}

TMainForm::~TMainForm() {
  // The panes go before the frame and the watch that refer to them.
  disconnect(focusWatch_);
  PaneFocusFrame->setWidget(nullptr);
  Guard([this] { FormDestroy(); });
}

void TMainForm::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (const rix::FileError& e) {
    dialogs_->errorBox(e.text());
  }
}

QString TMainForm::NativeOf(const QString& programPath) const {
  return rix::ResolvePath(rix::ApplyAppDirRule(programPath, appDir_));
}

rix::EmulatorRow TMainForm::SelectedEmulator() const {
  return rix::EmulatorRow::Read(EmuGrid->data(), EmuGrid->row());
}

// ---------------------------------------------------------------- layout

void TMainForm::BuildWindow() {
  MSOfficeCaption1 = new rix::CaptionBar(this);
  setMenuWidget(MSOfficeCaption1);
  BuildMenus();
  BuildToolBars();

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  TWinSaver::MarkPanel(Panel1);
  auto* p1 = new QVBoxLayout(Panel1);
  p1->setContentsMargins(3, 3, 3, 3);
  p1->setSpacing(0);
  Splitter1 = new rix::GripSplitter(Qt::Horizontal, Panel1);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(6);
  Splitter1->setChildrenCollapsible(false);
  p1->addWidget(Splitter1);

  BuildLeftColumn();
  BuildPages();
  Splitter1->addWidget(Panel4);
  Splitter1->addWidget(RomPage);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({170, 500});

  setCentralWidget(Panel1);
  // The banner runs along the bottom of the window, below the bottom toolbar
  // area and across its whole width: the status-bar slot is laid out so.
  RixLED1 = new TRixLED(this);
  RixLED1->setObjectName(QStringLiteral("RixLED1"));
  QFont ledFont(QStringLiteral("MS Sans Serif"));
  ledFont.setPixelSize(11);
  ledFont.setBold(true);
  RixLED1->setFont(ledFont);
  RixLED1->SetAutoSize(true);
  RixLED1->SetText(QStringLiteral("RIX Frontend  --  a front end for game emulators  --  ") +
                   MakerWebAddress() + QStringLiteral("  --  rix@rixfront.example"));
  RixLED1->setFixedHeight(52);
  RixLED1->setAccessibleName(QStringLiteral("跑馬燈"));
  connect(RixLED1, &TRixLED::clicked, this, [this] { Guard([this] { RixLED1Click(); }); });
  setStatusBar(new BannerSlot(RixLED1, this));

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });

  WireGrids();
  WireToolBarChecks();
  WirePanes();
}

void TMainForm::WireToolBarChecks() {
  for (const auto& pair :
       {std::pair{GridToolBar1, GridToolBar}, std::pair{MemoToolBar1, MemoToolBar}}) {
    // Named copies: clang before 16 cannot capture structured bindings.
    QAction* item = pair.first;
    QToolBar* bar = pair.second;
    item->setCheckable(true);
    item->setChecked(!bar->isHidden());
    connect(bar, &QToolBar::visibilityChanged, item,
            [item, bar] { item->setChecked(!bar->isHidden()); });
  }
}

void TMainForm::BuildLeftColumn() {
  Panel4 = new QWidget(this);
  Panel4->setObjectName(QStringLiteral("Panel4"));
  TWinSaver::MarkPanel(Panel4);
  auto* v = new QVBoxLayout(Panel4);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  Splitter2 = new QSplitter(Qt::Vertical, Panel4);
  Splitter2->setObjectName(QStringLiteral("Splitter2"));
  Splitter2->setHandleWidth(3);
  Splitter2->setChildrenCollapsible(false);
  v->addWidget(Splitter2);

  auto* top = new QWidget(Splitter2);
  auto* tv = new QVBoxLayout(top);
  tv->setContentsMargins(0, 0, 0, 0);
  tv->setSpacing(0);
  // Table and tree share one area; the tree lies on top.
  EmuArea = new QWidget(top);
  auto* g = new QGridLayout(EmuArea);
  g->setContentsMargins(0, 0, 0, 0);
  EmuGrid = new StringGrid(EmuArea);
  EmuGrid->setObjectName(QStringLiteral("EmuGrid"));
  EmuGrid->setAccessibleName(QStringLiteral("模擬器列表"));
  // The table starts as the window lays it out: eight narrow columns and two
  // rows, until the catalogue's own columns are loaded into it.
  EmuGrid->setRowCount(2);
  EmuGrid->setColCount(8);
  EmuTree = new TAutoTreeView(EmuArea);
  EmuTree->setObjectName(QStringLiteral("EmuTree"));
  EmuTree->setAccessibleName(QStringLiteral("模擬器階層"));
  EmuTree->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(EmuTree, &TAutoTreeView::NodeChanged, this,
          [this](QTreeWidgetItem* node) { Guard([this, node] { EmuTreeChange(EmuTree, node); }); });
  EmuTree->SetConfirm([this](const QString& text) {
    return dialogs_->messageBox(rix::Dialogs::Kind::Confirm, text,
                                rix::Dialogs::Ok | rix::Dialogs::Cancel) == rix::Dialogs::Ok;
  });
  connect(EmuTree, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { EmuTreePopupMenu->exec(EmuTree->viewport()->mapToGlobal(p)); });
  rix::AttachMenuShortcuts(EmuTree, EmuTreePopupMenu);
  EmuTree->getImageIndex = [this](QTreeWidgetItem* node) {
    return EmuTreeGetImageIndex(EmuTree, node);
  };
  EmuTree->getSelectedIndex = [this](QTreeWidgetItem* node) {
    return EmuTreeGetSelectedIndex(EmuTree, node);
  };
  g->addWidget(EmuGrid, 0, 0);
  g->addWidget(EmuTree, 0, 0);
  EmuTree->raise();
  tv->addWidget(EmuArea, 1);
  WWWLink = new TASLink(top);
  WWWLink->setObjectName(QStringLiteral("WWWLink"));
  WWWLink->setFixedHeight(13);
  tv->addWidget(WWWLink);

  ImagePanel = new QFrame(Splitter2);
  ImagePanel->setObjectName(QStringLiteral("ImagePanel"));
  TWinSaver::MarkPanel(ImagePanel);
  ImagePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  ImagePanel->setAutoFillBackground(true);
  ImagePanel->setBackgroundRole(QPalette::Button);
  auto* iv = new QVBoxLayout(ImagePanel);
  iv->setContentsMargins(1, 1, 1, 1);
  GameImage = new rix::PictureView(ImagePanel);
  GameImage->setObjectName(QStringLiteral("GameImage"));
  GameImage->setAccessibleName(QStringLiteral("遊戲圖片"));
  GameImage->onLoadFailed = [this](const QString& text) {
    dialogs_->messageBox(rix::Dialogs::Kind::Info, text, rix::Dialogs::Ok);
  };
  GameImage->onSaveFailed = [this](const QString& writerText, const QString& failureText) {
    dialogs_->messageBox(rix::Dialogs::Kind::Error, writerText, rix::Dialogs::Ok);
    dialogs_->messageBox(rix::Dialogs::Kind::Info, failureText, rix::Dialogs::Ok);
  };
  iv->addWidget(GameImage);
  Splitter2->addWidget(top);
  Splitter2->addWidget(ImagePanel);
  Splitter2->setStretchFactor(0, 1);
  Splitter2->setStretchFactor(1, 0);
  Splitter2->setSizes({340, 160});
}

void TMainForm::BuildPages() {
  RomPage = new QTabWidget(this);
  RomPage->setObjectName(QStringLiteral("RomPage"));
  RomPage->installEventFilter(this);

  TabSheet1 = new QWidget(RomPage);
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  auto* t1 = new QVBoxLayout(TabSheet1);
  t1->setContentsMargins(0, 0, 0, 0);
  t1->setSpacing(0);
  RomGrid = new StringGrid(TabSheet1);
  RomGrid->setObjectName(QStringLiteral("RomGrid"));
  RomGrid->setColCount(6);
  RomGrid->setRowCount(2);
  RomGrid->setAccessibleName(QStringLiteral("遊戲列表"));
  RomGrid->setImages({rix::Glyphs::LampOff(), rix::Glyphs::LampOn()});
  RomGrid->setImageTexts({QStringLiteral("找不到遊戲檔案"), QStringLiteral("遊戲檔案存在")});
  t1->addWidget(RomGrid, 1);
  RomPanel = new rix::PanelLabel(TabSheet1);
  RomPanel->setObjectName(QStringLiteral("RomPanel"));
  TWinSaver::MarkPanel(RomPanel);
  RomPanel->setFixedHeight(21);
  // A long message (the first-emulator hint, a missing list's path) is cut at
  // the panel's edge rather than pushing the left column narrow.
  RomPanel->setMinimumWidth(1);
  RomPanel->onDoubleClick = [this] { Guard([this] { RomPanelDblClick(); }); };
  t1->addWidget(RomPanel);
  RomPage->addTab(TabSheet1, QStringLiteral("遊戲"));

  TabSheet2 = new QWidget(RomPage);
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  auto* t2 = new QVBoxLayout(TabSheet2);
  t2->setContentsMargins(0, 0, 0, 0);
  SetNotebook = new QStackedWidget(TabSheet2);
  SetNotebook->setObjectName(QStringLiteral("SetNotebook"));
  t2->addWidget(SetNotebook);

  for (rix::OptionsPage* page : rix::AddOptionsPages(SetNotebook)) {
    connect(page, &rix::OptionsPage::saveRequested, this,
            [this] { Guard([this] { SaveCommandBtnClick(); }); });
    connect(page, &rix::OptionsPage::commandChanged, this,
            [this](const QString& command) { Guard([&] { ScanlinesChkClick(command); }); });
  }
  CommonPage = SetNotebook->findChild<rix::CommonPage*>();
  NeoRagePage = SetNotebook->findChild<rix::NeoRagePage*>();
  ZsnesPage = SetNotebook->findChild<rix::ZsnesPage*>();
  Label1 = CommonPage->Label1;
  Label6 = CommonPage->Label6;
  CommandEdit1 = CommonPage->CommandEdit1;
  CommandEdit2 = CommonPage->CommandEdit2;
  SaveCommandBtn = CommonPage->SaveCommandBtn;
  ZsnesPage->PageControl->setObjectName(QStringLiteral("PageControl1"));
  RomPage->addTab(TabSheet2, QStringLiteral("設定"));

  TabSheet3 = new QWidget(RomPage);
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  auto* t3 = new QVBoxLayout(TabSheet3);
  t3->setContentsMargins(0, 0, 0, 0);
  Dock9710 = new QMainWindow(TabSheet3);
  Dock9710->setObjectName(QStringLiteral("Dock9710"));
  Dock9710->setWindowFlags(Qt::Widget);
  MemoToolBar = new QToolBar(QStringLiteral("說明編輯工具"), Dock9710);
  MemoToolBar->setObjectName(QStringLiteral("MemoToolBar"));
  MemoToolBar->setIconSize(QSize(16, 16));
  Dock9710->addToolBar(Qt::TopToolBarArea, MemoToolBar);
  // The tab has one dock, at its top; the toolbar docks there or floats.
  MemoToolBar->setAllowedAreas(Qt::TopToolBarArea);
  new rix::ToolDock(QStringLiteral("Dock9710"), Dock9710, Qt::TopToolBarArea, this);
  BuildMemoToolBar();
  EmuDoc = new rix::DocEditor(Dock9710);
  EmuDoc->setObjectName(QStringLiteral("EmuDoc"));
  Dock9710->setCentralWidget(EmuDoc);
  StatusBar1 = new QStatusBar(Dock9710);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  const std::pair<int, const char*> panels[] = {{90, "游標位置"}, {50, "修改狀態"},
                                                {90, "總行數"},   {90, "首行"},
                                                {90, "位元組數"}, {50, "輸入模式"}};
  for (const auto& [w, name] : panels) {
    auto* panel = new QLabel(StatusBar1);
    panel->setAccessibleName(QString::fromUtf8(name));
    panel->setFixedWidth(w);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(panel);
    StatusPanels.append(panel);
  }
  // The panels keep their widths, but do not hold the tabs, and with them the
  // emulator table beside them, wider than the other pages need.
  StatusBar1->setMinimumWidth(1);
  Dock9710->setStatusBar(StatusBar1);
  t3->addWidget(Dock9710);
  RomPage->addTab(TabSheet3, QStringLiteral("說明"));
  RomPage->setCurrentIndex(0);
  ActiveEditor = EmuDoc;
  WireEmuDoc();
}

void TMainForm::BuildMenus() {
  auto item = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                     std::function<void()> handler) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
      a->setShortcut(key);
      a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    if (handler) connect(a, &QAction::triggered, this, [this, handler] { Guard(handler); });
    return a;
  };

  GridPopupMenu = new QMenu(this);
  GridPopupMenu->setObjectName(QStringLiteral("GridPopupMenu"));
  QMenu* m = GridPopupMenu;
  EditMode1 = item(m, "EditMode1", QStringLiteral("編輯模式(&E)"),
                   QKeySequence(Qt::CTRL | Qt::Key_E), [this] { EditMode1Click(); });
  EditMode1->setCheckable(true);
  Reload1 = item(m, "Reload1", QStringLiteral("重新載入(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R),
                 [this] { Reload1Click(); });
  Save1 = item(m, "Save1", QStringLiteral("存檔(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S),
               [this] { Save1Click(); });
  SaveToHTML1 = item(m, "SaveToHTML1", QStringLiteral("另存 HTML(&H)..."),
                     QKeySequence(Qt::CTRL | Qt::Key_H), [this] { SaveToHTML1Click(); });
  m->addSeparator();
  FindFirst1 = item(m, "FindFirst1", QStringLiteral("搜尋(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F),
                    [this] { FindFirst1Click(); });
  FindNext1 = item(m, "FindNext1", QStringLiteral("再找(&N)"), QKeySequence(Qt::Key_F3),
                   [this] { FindNext1Click(); });
  m->addSeparator();
  // The menu item builds lists too, as its caption promises.
  AutoGridMake1 = item(m, "AutoGridMake1", QStringLiteral("自動建立列表(&M)"),
                       QKeySequence(Qt::CTRL | Qt::Key_A), [this] { AutoGridMakeSBClick(); });
  InsertRow1 = item(m, "InsertRow1", QStringLiteral("插入一列(&I)"),
                    QKeySequence(Qt::CTRL | Qt::Key_I), [this] { InsertRow1Click(); });
  DeleteRow1 = item(m, "DeleteRow1", QStringLiteral("刪除一列(&D)"),
                    QKeySequence(Qt::CTRL | Qt::Key_D), [this] { DeleteRow1Click(); });
  ClearRow1 = item(m, "ClearRow1", QStringLiteral("清除一列(&B)"),
                   QKeySequence(Qt::CTRL | Qt::Key_B), [this] { ClearRow1Click(); });
  ClearAll1 = item(m, "ClearAll1", QStringLiteral("全部清除(&A)"),
                   QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { ClearAll1Click(); });
  QMenu* cols = m->addMenu(QStringLiteral("縱列工具(&C)"));
  ColsTools1 = cols->menuAction();
  ColsTools1->setObjectName(QStringLiteral("ColsTools1"));
  const char* names[] = {"RowUpper1", "RowLower1", "RowTrim1", "RowUniform1"};
  const QString captions[] = {QStringLiteral("轉換為英文大寫"), QStringLiteral("轉換為英文小寫"),
                              QStringLiteral("刪除前後空白字元"),
                              QStringLiteral("加入空白使欄位對齊")};
  QAction* colActs[4];
  for (int i = 0; i < 4; ++i) {
    colActs[i] = item(cols, names[i], captions[i],
                      i == 3 ? QKeySequence(Qt::CTRL | Qt::Key_W) : QKeySequence(), nullptr);
    colActs[i]->setData(i);  // the tag that selects the operation
    QAction* a = colActs[i];
    connect(a, &QAction::triggered, this, [this, a] { Guard([this, a] { RowUpper1Click(a); }); });
  }
  RowUpper1 = colActs[0];
  RowLower1 = colActs[1];
  RowTrim1 = colActs[2];
  RowUniform1 = colActs[3];
  cols->addSeparator();
  RowPicAddText1 = item(cols, "RowPicAddText1", QStringLiteral("圖片加文字另存圖片"),
                        QKeySequence(Qt::CTRL | Qt::Key_G), [this] { RowPicAddText1Click(); });
  RowDelPic1 = item(cols, "RowDelPic1", QStringLiteral("刪除不存的圖片設定"), QKeySequence(),
                    [this] { RowDelPic1Click(); });
  m->addSeparator();
  Print1 = item(m, "Print1", QStringLiteral("列印(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P),
                [this] { Print1Click(); });
  m->addSeparator();
  GridToolBar1 = item(m, "GridToolBar1", QStringLiteral("顯示編輯工具列(O)"), QKeySequence(),
                      [this] { GridToolBar1Click(); });
  ShowTree1 = item(m, "ShowTree1", QStringLiteral("顯示模擬器階層(&T)"), QKeySequence(),
                   [this] { ShowTree1Click(); });

  EmuTreePopupMenu = new QMenu(this);
  EmuTreePopupMenu->setObjectName(QStringLiteral("EmuTreePopupMenu"));
  ShowEmuGrid1 = item(EmuTreePopupMenu, "ShowEmuGrid1", QStringLiteral("顯示模擬器列表(&G)"),
                      QKeySequence(Qt::CTRL | Qt::Key_G), [this] { ShowEmuGrid1Click(); });
  Reload2 = item(EmuTreePopupMenu, "Reload2", QStringLiteral("重新載入(&R)"),
                 QKeySequence(Qt::CTRL | Qt::Key_R), [this] { Reload2Click(); });

  BuildMemoMenu();
}

void TMainForm::BuildMemoMenu() {
  MemoPopupMenu = new QMenu(this);
  MemoPopupMenu->setObjectName(QStringLiteral("MemoPopupMenu"));
  struct MemoItem {
    QAction* TMainForm::*action;  // nullptr: a separator
    const char* name;
    const char* caption;
    QKeySequence key;
    const char* hint;
    bool enabled;
  };
  using K = QKeySequence;
  const MemoItem memo[] = {
      {&TMainForm::MemoOpen1, "MemoOpen1", "開啟舊檔(&L)...", K(Qt::CTRL | Qt::Key_L),
       "讀入文字檔並取代目前所有資料", true},
      {&TMainForm::MemoSaveAs1, "MemoSaveAs1", "另存新檔(&S)...", K(Qt::CTRL | Qt::Key_S),
       "將目前資料另存新檔", true},
      {nullptr, nullptr, nullptr, {}, nullptr, true},
      {&TMainForm::MemoUndo1, "MemoUndo1", "復原", K(Qt::CTRL | Qt::Key_Z), "復原", true},
      {&TMainForm::MemoRedo1, "MemoRedo1", "重覆", K(Qt::CTRL | Qt::Key_Y), "重覆", true},
      {nullptr, nullptr, nullptr, {}, nullptr, true},
      {&TMainForm::MemoSelectAll1, "MemoSelectAll1", "全選(&B)", K(Qt::CTRL | Qt::Key_B),
       "選取全部文字", true},
      {&TMainForm::MemoCopyToClipboard1, "MemoCopyToClipboard1", "複製(&C)",
       K(Qt::CTRL | Qt::Key_C), "複製選取的文字", false},
      {&TMainForm::MemoCutToClipboard1, "MemoCutToClipboard1", "剪下(&X)", K(Qt::CTRL | Qt::Key_X),
       "剪下選取的文字", false},
      {&TMainForm::MemoPasteFromClipboard1, "MemoPasteFromClipboard1", "貼上(&V)",
       K(Qt::CTRL | Qt::Key_V), "將剪貼簿內容貼到目前游標位置", true},
      {nullptr, nullptr, nullptr, {}, nullptr, true},
      {&TMainForm::MemoFind1, "MemoFind1", "尋找(&F)...", K(Qt::CTRL | Qt::Key_F), "尋找指定字串",
       false},
      {&TMainForm::MemoReplace1, "MemoReplace1", "取代(&R)...", K(Qt::CTRL | Qt::Key_R),
       "取代指定字串", false},
      {&TMainForm::MemoFindNext1, "MemoFindNext1", "再找(&N)", K(Qt::Key_F3), "繼續尋找字串",
       false},
      {&TMainForm::MemoGoToLine1, "MemoGoToLine1", "跳行(&G)...", K(Qt::CTRL | Qt::Key_G),
       "跳到指定行號", false},
      {nullptr, nullptr, nullptr, {}, nullptr, true},
      {&TMainForm::MemoInsert1, "MemoInsert1", "插入文字檔(&I)...", K(Qt::CTRL | Qt::Key_I),
       "讀入文字檔並插入目前游標處", true},
      {&TMainForm::MemoAdd1, "MemoAdd1", "加入文字檔(&A)...", K(Qt::CTRL | Qt::Key_A),
       "讀入文字檔並將加到目前資料最後", true},
      {nullptr, nullptr, nullptr, {}, nullptr, true},
      {&TMainForm::MemoWrap1, "MemoWrap1", "自動斷行(&W)", K(Qt::CTRL | Qt::Key_W), "自動斷行顯示",
       true},
      {&TMainForm::MemoPrint1, "MemoPrint1", "列印(&P)...", K(Qt::CTRL | Qt::Key_P), "列印資料",
       true},
      {&TMainForm::MemoToolBar1, "MemoToolBar1", "顯示編輯工具列(T)", K(Qt::CTRL | Qt::Key_T),
       nullptr, true},
  };
  for (const MemoItem& mi : memo) {
    if (!mi.action) {
      MemoPopupMenu->addSeparator();
      continue;
    }
    QAction* a = MemoPopupMenu->addAction(QString::fromUtf8(mi.caption));
    a->setObjectName(QString::fromLatin1(mi.name));
    a->setShortcut(mi.key);
    // The editor takes these actions too: their keys act only while it has the focus.
    a->setShortcutContext(Qt::WidgetShortcut);
    if (mi.hint) a->setStatusTip(QString::fromUtf8(mi.hint));
    a->setEnabled(mi.enabled);
    this->*mi.action = a;
  }
  // The menu item carries the check mark; its toolbar button only triggers it.
  MemoWrap1->setCheckable(true);

  auto on = [this](QAction* a, std::function<void()> handler) {
    connect(a, &QAction::triggered, this, [this, handler] { Guard(handler); });
  };
  for (QAction* a : {MemoOpen1, MemoInsert1, MemoAdd1}) on(a, [this, a] { MemoOpen1Click(a); });
  on(MemoSaveAs1, [this] { MemoSaveAs1Click(); });
  on(MemoUndo1, [this] { MemoUndo1Click(); });
  on(MemoRedo1, [this] { MemoRedo1Click(); });
  on(MemoSelectAll1, [this] { MemoSelectAll1Click(); });
  on(MemoCopyToClipboard1, [this] { MemoCopyToClipboard1Click(); });
  on(MemoCutToClipboard1, [this] { MemoCutToClipboard1Click(); });
  on(MemoPasteFromClipboard1, [this] { MemoPasteFromClipboard1Click(); });
  on(MemoFind1, [this] { MemoFind1Click(); });
  on(MemoReplace1, [this] { MemoReplace1Click(); });
  on(MemoFindNext1, [this] { MemoFindNext1Click(); });
  on(MemoGoToLine1, [this] { MemoGoToLine1Click(); });
  on(MemoWrap1, [this] { MemoWrap1Click(); });
  on(MemoPrint1, [this] { MemoPrint1Click(); });
  on(MemoToolBar1, [this] { MemoToolBar1Click(); });
}

void TMainForm::BuildMemoToolBar() {
  // The documentation toolbar: each button runs the handler of the menu item
  // of its caption, with itself as the sender, and follows its enabled state.
  struct MemoButton {
    QAction* TMainForm::*button;  // nullptr: a separator
    QAction* TMainForm::*item;
    const char* name;
    const char* hint;
    const char* glyph;
  };
  using F = TMainForm;
  const MemoButton buttons[] = {
      {&F::MemoOpenSB, &F::MemoOpen1, "MemoOpenSB", "開啟舊檔", "open"},
      {&F::MemoSaveAsSB, &F::MemoSaveAs1, "MemoSaveAsSB", "另存新檔", "save"},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
      {&F::MemoUndoSB, &F::MemoUndo1, "MemoUndoSB", "復原", "undo"},
      {&F::MemoRedoSB, &F::MemoRedo1, "MemoRedoSB", "重覆", "redo"},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
      {&F::MemoSelectAllSB, &F::MemoSelectAll1, "MemoSelectAllSB", "全選", "selectall"},
      {&F::MemoCopyToClipboardSB, &F::MemoCopyToClipboard1, "MemoCopyToClipboardSB", "複製",
       "copy"},
      {&F::MemoCutToClipboardSB, &F::MemoCutToClipboard1, "MemoCutToClipboardSB", "剪下", "cut"},
      {&F::MemoPasteFromClipboardSB, &F::MemoPasteFromClipboard1, "MemoPasteFromClipboardSB",
       "貼上", "paste"},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
      {&F::MemoFindSB, &F::MemoFind1, "MemoFindSB", "尋找", "find"},
      {&F::MemoReplaceSB, &F::MemoReplace1, "MemoReplaceSB", "取代", "replace"},
      {&F::MemoFindNextSB, &F::MemoFindNext1, "MemoFindNextSB", "再找", "findnext"},
      {&F::MemoGoToLineSB, &F::MemoGoToLine1, "MemoGoToLineSB", "跳行", "goto"},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
      {&F::MemoInsertSB, &F::MemoInsert1, "MemoInsertSB", "插入文字檔", "insertfile"},
      {&F::MemoAddSB, &F::MemoAdd1, "MemoAddSB", "加入文字檔", "appendfile"},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
      {&F::MemoWrapSB, &F::MemoWrap1, "MemoWrapSB", "自動斷行", "wrap"},
      {&F::MemoPrintSB, &F::MemoPrint1, "MemoPrintSB", "列印", "print"},
  };
  for (const MemoButton& b : buttons) {
    if (!b.button) {
      MemoToolBar->addSeparator();
      continue;
    }
    QAction* menuItem = this->*b.item;
    QAction* a = MemoToolBar->addAction(rix::Glyphs::Toolbar(QString::fromLatin1(b.glyph)),
                                        QString::fromUtf8(b.hint));
    a->setObjectName(QString::fromLatin1(b.name));
    a->setToolTip(QString::fromUtf8(b.hint));
    a->setEnabled(menuItem->isEnabled());
    connect(menuItem, &QAction::enabledChanged, a, &QAction::setEnabled);
    if (menuItem == MemoOpen1 || menuItem == MemoInsert1 || menuItem == MemoAdd1)
      connect(a, &QAction::triggered, this, [this, a] { Guard([this, a] { MemoOpen1Click(a); }); });
    else
      connect(a, &QAction::triggered, menuItem, &QAction::trigger);
    this->*b.button = a;
  }
}

void TMainForm::BuildToolBars() {
  GridToolBar = new QToolBar(QStringLiteral("列表編輯工具"), this);
  GridToolBar->setObjectName(QStringLiteral("GridToolBar"));
  GridToolBar->setIconSize(QSize(16, 16));
  // 26 pixels across whichever way the bar lies, docked at the side or not.
  const auto across = [this](Qt::Orientation o) {
    GridToolBar->setMinimumSize(0, 0);
    GridToolBar->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (o == Qt::Horizontal)
      GridToolBar->setFixedHeight(26);
    else
      GridToolBar->setFixedWidth(26);
  };
  across(Qt::Horizontal);
  connect(GridToolBar, &QToolBar::orientationChanged, this, across);
  addToolBar(Qt::TopToolBarArea, GridToolBar);
  auto button = [this](const char* name, const QString& hint, const QString& glyph,
                       std::function<void()> handler) {
    QAction* a = GridToolBar->addAction(rix::Glyphs::Toolbar(glyph), hint);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
    connect(a, &QAction::triggered, this, [this, handler] { Guard(handler); });
    if (QWidget* w = GridToolBar->widgetForAction(a)) w->setFixedSize(23, 22);
    return a;
  };
  EditModeSB =
      button("EditModeSB", QStringLiteral("編輯模式"), "edit", [this] { EditMode1Click(); });
  EditModeSB->setCheckable(true);
  ReloadSB = button("ReloadSB", QStringLiteral("重新載入"), "reload", [this] { Reload1Click(); });
  SaveSB = button("SaveSB", QStringLiteral("存檔"), "save", [this] { Save1Click(); });
  SaveToHTMLSB =
      button("SaveToHTMLSB", QStringLiteral("另存 HTML"), "html", [this] { SaveToHTML1Click(); });
  GridToolBar->addSeparator();
  FindFirstSB =
      button("FindFirstSB", QStringLiteral("搜尋"), "find", [this] { FindFirst1Click(); });
  FindNextSB =
      button("FindNextSB", QStringLiteral("再找"), "findnext", [this] { FindNext1Click(); });
  GridToolBar->addSeparator();
  AutoGridMakeSB = button("AutoGridMakeSB", QStringLiteral("自動建立列表"), "automake",
                          [this] { AutoGridMakeSBClick(); });
  InsertRowSB =
      button("InsertRowSB", QStringLiteral("插入一列"), "insertrow", [this] { InsertRow1Click(); });
  DeleteRowSB =
      button("DeleteRowSB", QStringLiteral("刪除一列"), "deleterow", [this] { DeleteRow1Click(); });
  ClearRowSB =
      button("ClearRowSB", QStringLiteral("清除一列"), "clearrow", [this] { ClearRow1Click(); });
  ClearAllSB =
      button("ClearAllSB", QStringLiteral("全部清除"), "clearall", [this] { ClearAll1Click(); });
  GridToolBar->addSeparator();
  PrintSB = button("PrintSB", QStringLiteral("列印"), "print", [this] { Print1Click(); });

  // Three more docks (left, right, bottom) take the toolbars when dragged there.
  setDockNestingEnabled(false);
  new rix::ToolDock(QStringLiteral("Dock971"), this, Qt::TopToolBarArea, this);
  new rix::ToolDock(QStringLiteral("Dock972"), this, Qt::LeftToolBarArea, this);
  new rix::ToolDock(QStringLiteral("Dock973"), this, Qt::RightToolBarArea, this);
  new rix::ToolDock(QStringLiteral("Dock974"), this, Qt::BottomToolBarArea, this);
}

void TMainForm::WireGrids() {
  EmuGrid->getEditorType = [this](int col, int row) { return EmuGridGetEditorType(col, row); };
  EmuGrid->ellipsClick = [this](int col, int row, QByteArray& value) {
    Guard([&] { EmuGridEllipsClick(col, row, value); });
  };
  EmuGrid->clickCell = [this](int row, int col) {
    Guard([this, row, col] { EmuGridClickCell(EmuGrid, row, col); });
  };
  EmuGrid->keyUp = [this](int key, Qt::KeyboardModifiers mods) {
    Guard([this, key, mods] { EmuGridKeyUp(key, mods); });
  };
  EmuGrid->mouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint) {
    Guard([this, b] { RomGridMouseDown(EmuGrid, b); });
  };
  EmuGrid->attachPopupMenu(GridPopupMenu);
  RomGrid->mouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint) {
    Guard([this, b] { RomGridMouseDown(RomGrid, b); });
  };
  RomGrid->mouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint) {
    Guard([this, b] { RomGridMouseUp(b); });
  };
  RomGrid->keyUp = [this](int key, Qt::KeyboardModifiers mods) {
    Guard([this, key, mods] { RomGridKeyUp(key, mods); });
  };
  RomGrid->keyPressed = [this](QChar key) { Guard([this, key] { RomGridKeyPress(key); }); };
  RomGrid->dblClickCell = [this](int row, int col) {
    Guard([this, row, col] { RomGridDblClickCell(RomGrid, row, col); });
  };
  RomGrid->getEditorType = [this](int col, int row) { return RomGridGetEditorType(col, row); };
  RomGrid->ellipsClick = [this](int col, int row, QByteArray& value) {
    Guard([&] { RomGridEllipsClick(col, row, value); });
  };
}

// ---------------------------------------------------------------- events

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  Guard([this] { FormShow(); });
}

void TMainForm::paintEvent(QPaintEvent* event) {
  QMainWindow::paintEvent(event);
  if (afterFirstPaint) QTimer::singleShot(0, this, std::exchange(afterFirstPaint, nullptr));
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Guard([this] { FormResize(); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // A save asked for on the way out that fails keeps the window open, so
  // that nothing is lost.
  bool canClose = false;
  Guard([&] { FormCloseQuery(canClose); });
  if (canClose)
    event->accept();
  else
    event->ignore();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // A key that reaches the hidden one of table and tree goes nowhere; the
  // keyboard moves to the one shown.
  if ((watched == EmuTree || watched == EmuGrid) &&
      (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
      static_cast<QWidget*>(watched)->isHidden()) {
    LeftPane()->setFocus(Qt::OtherFocusReason);
    return true;
  }
  // The release of the key that brought the focus here (F6, Ctrl+G) is no
  // key used in the table: it must not select the emulator again, which
  // would reset the command edits and reload the document.
  if (watched == EmuGrid) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::KeyPress)
      emuGridKeyPressed_ = event->type() == QEvent::KeyPress;
    else if (event->type() == QEvent::KeyRelease && !emuGridKeyPressed_)
      return true;
  }
  // The command edits follow the width of the page control wherever it
  // changes: window resize or splitter drag.
  if (watched == RomPage && event->type() == QEvent::Resize) Guard([this] { FormResize(); });
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- shell

void TMainForm::FormCreate() {
  rix::WaitCursor busy;
  ActiveEditor = EmuDoc;
  RomListFile.clear();
  UnzipPath.clear();
  CurrentDir = QDir::currentPath() + u'/';
  SplashPending = true;
  Guard([this] { LoadCatalogue(); });
  LaunchTicks = 0;
  ParsingOptions = false;
  EmuGrid->setDropDownItems({QStringLiteral("No"), QStringLiteral("Yes")});
}

void TMainForm::FormShow() {
  FormResize();
  if (!SplashPending) return;
  if (splash_) {
    splash_->hide();
    splash_->deleteLater();
    splash_.clear();
  }
  SplashPending = false;
  EnsureCatalogueDirs();
  RixLED1->SetScroll(true);
  if (RomGrid->focusPolicy() != Qt::NoFocus && RomGrid->isEnabled()) RomGrid->setFocus();
  ActiveGrid = RomGrid;
  // A newcomer's first job is the table: room for it once the remembered
  // layout is in place.
  QTimer::singleShot(0, this, [this] {
    if (CatalogueEmpty()) WidenLeftColumnForTable();
  });
}

void TMainForm::FormResize() { CommonPage->fitCommandEdits(RomPage->width()); }

void TMainForm::FormCloseQuery(bool& canClose) {
  // The close goes on whatever the answers, unless a save failed: then the
  // window stays, with the edits, for another try.
  canClose = false;
  ConfirmSaveDocument();
  ConfirmSaveList(RomGrid);
  ConfirmSaveList(EmuGrid);
  canClose = true;
}

void TMainForm::FormDestroy() { CleanupUnzip(); }

void TMainForm::ShowEmuGrid1Click() {
  EmuTree->hide();
  EmuGrid->show();
  // The keys follow what the user now sees; a hidden tree taking the arrows
  // would pick emulators out of sight.
  EmuGrid->setFocus(Qt::OtherFocusReason);
  WidenLeftColumnForTable();
}

void TMainForm::ShowTree1Click() {
  EmuGrid->hide();
  EmuTree->show();
  EmuTree->setFocus(Qt::OtherFocusReason);
}

bool TMainForm::CatalogueEmpty() const {
  for (int r = 1; r < EmuGrid->rowCount(); ++r) {
    for (int c = 0; c < EmuGrid->colCount(); ++c)
      if (!rix::TrimBytes(EmuGrid->cell(c, r)).isEmpty()) return false;
  }
  return true;
}

void TMainForm::WidenLeftColumnForTable() {
  // The table's first four columns (page, key, document, program) in view,
  // as a newcomer filling in the first emulator needs them; never narrower.
  int need = 2 * EmuGrid->frameWidth() + EmuGrid->verticalScrollBar()->sizeHint().width() + 2;
  if (EmuGrid->verticalHeader()->isVisible()) need += EmuGrid->verticalHeader()->width();
  for (int c = 0; c < std::min(4, EmuGrid->colCount()); ++c) need += EmuGrid->columnWidth(c);
  QList<int> sizes = Splitter1->sizes();
  if (sizes.size() < 2 || sizes[0] >= need) return;
  const int both = sizes[0] + sizes[1];
  // The tabs keep room to be used.
  sizes[0] = std::min(need, std::max(sizes[0], both - 240));
  sizes[1] = both - sizes[0];
  Splitter1->setSizes(sizes);
}

QWidget* TMainForm::LeftPane() const {
  return EmuTree->isHidden() ? static_cast<QWidget*>(EmuGrid) : EmuTree;
}

QList<QWidget*> TMainForm::Panes() const {
  QWidget* content = nullptr;
  if (RomPage->currentWidget() == TabSheet1) {
    content = RomGrid;
  } else if (RomPage->currentWidget() == TabSheet3) {
    content = EmuDoc;
  } else {
    // The options page: its first control that takes the keyboard.
    for (QWidget* w : SetNotebook->currentWidget()->findChildren<QWidget*>()) {
      if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(SetNotebook) && w->isEnabled()) {
        content = w;
        break;
      }
    }
  }
  QList<QWidget*> panes{LeftPane()};
  if (content) panes << content;
  panes << RomPage->tabBar();
  return panes;
}

void TMainForm::FocusPane(int step) {
  const QList<QWidget*> panes = Panes();
  const QWidget* focus = QApplication::focusWidget();
  int at = -1;
  for (int i = 0; i < panes.size() && at < 0; ++i) {
    if (focus && (focus == panes[i] || panes[i]->isAncestorOf(focus))) at = i;
  }
  // From the options page's other controls, Shift+F6 goes back to the table.
  if (at < 0 && focus && SetNotebook->isAncestorOf(focus)) at = 1;
  const int n = static_cast<int>(panes.size());
  const int next = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
  panes[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void TMainForm::WirePanes() {
  auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
  next->setObjectName(QStringLiteral("NextPaneKey"));
  connect(next, &QShortcut::activated, this, [this] { FocusPane(1); });
  auto* back = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
  back->setObjectName(QStringLiteral("PreviousPaneKey"));
  connect(back, &QShortcut::activated, this, [this] { FocusPane(-1); });

  // Which pane has the keys is drawn around it, whatever the style does with
  // a grid's or a tree's own focus.
  PaneFocusFrame = new rix::PaneFocusFrame(this);
  PaneFocusFrame->setObjectName(QStringLiteral("PaneFocusFrame"));
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    QWidget* pane = nullptr;
    for (QWidget* w : {static_cast<QWidget*>(EmuTree), static_cast<QWidget*>(EmuGrid),
                       static_cast<QWidget*>(RomGrid), static_cast<QWidget*>(EmuDoc)}) {
      if (now && (now == w || w->isAncestorOf(now))) pane = w;
    }
    PaneFocusFrame->setWidget(pane);
  });
  EmuTree->installEventFilter(this);
  EmuGrid->installEventFilter(this);
}

// Hidden by the user, not merely off screen with its tab: the menu items'
// check marks follow that.
void TMainForm::GridToolBar1Click() { GridToolBar->setHidden(!GridToolBar->isHidden()); }

void TMainForm::MemoToolBar1Click() { MemoToolBar->setHidden(!MemoToolBar->isHidden()); }

bool TMainForm::EnsureFileDir(const QString& path) {
  const rix::EnsureDirResult r = rix::EnsureFileDirectory(path, appDir_);
  if (r == rix::EnsureDirResult::Failed)
    dialogs_->messageBox(rix::Dialogs::Kind::Error, QStringLiteral("目錄建立錯誤！"),
                         rix::Dialogs::Yes);
  return r == rix::EnsureDirResult::Existed;
}
