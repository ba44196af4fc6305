#include "app/TWinSaver.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QWindow>
#include <algorithm>
#include <stdexcept>

#include "widgets/ToolDock.h"

using rix::ToolDock;

namespace {

const char kPanelProperty[] = "rixWinSaverPanel";

enum class Kind { Other, PageControl, TabControl, ScrollBox, Panel, ToolBar };

Kind KindOf(QWidget* w) {
  if (qobject_cast<QTabWidget*>(w)) return Kind::PageControl;
  if (qobject_cast<QTabBar*>(w) && !qobject_cast<QTabWidget*>(w->parentWidget()))
    return Kind::TabControl;
  if (qobject_cast<QScrollArea*>(w)) return Kind::ScrollBox;
  if (qobject_cast<QToolBar*>(w) && qobject_cast<QMainWindow*>(w->parentWidget()))
    return Kind::ToolBar;
  if (w->property(kPanelProperty).toBool()) return Kind::Panel;
  return Kind::Other;
}

bool HasBounds(Kind k) { return k != Kind::Other && k != Kind::ToolBar; }

// A value that is missing or no integer reads as the fallback.
int ReadInt(const QSettings& s, const QString& key, int fallback) {
  bool ok = false;
  const int v = s.value(key).toString().trimmed().toInt(&ok);
  return ok ? v : fallback;
}

QRect PrimaryArea() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->availableGeometry() : QRect();
}

// r moved (and cut down where it is larger) so that it lies inside area.
QRect FitInside(QRect r, const QRect& area) {
  if (area.isEmpty()) return r;
  r.setSize(r.size().boundedTo(area.size()));
  r.moveLeft(std::clamp(r.left(), area.left(), area.right() - r.width() + 1));
  r.moveTop(std::clamp(r.top(), area.top(), area.bottom() - r.height() + 1));
  return r;
}

// A window counts as reachable while a piece of it big enough to grab lies on
// some screen.
bool Reachable(const QRect& r) {
  const QSize grab = QSize(64, 32).boundedTo(r.size());
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect common = r.intersected(s->availableGeometry());
    if (common.width() >= grab.width() && common.height() >= grab.height()) return true;
  }
  return false;
}

// The extent of w along its splitter becomes the splitter's division; a
// stretching side takes what the others leave, so only a side that keeps
// its size as the window grows is set.
void SetSplitterExtent(QSplitter* split, QWidget* w, int extent) {
  const auto stretch = [split](QWidget* c) {
    const QSizePolicy p = c->sizePolicy();
    return split->orientation() == Qt::Horizontal ? p.horizontalStretch() : p.verticalStretch();
  };
  const int i = split->indexOf(w);
  if (i < 0 || stretch(w) != 0) return;
  QList<int> sizes = split->sizes();
  int j = -1;
  for (int k = 0; k < sizes.size() && j < 0; ++k)
    if (k != i && stretch(split->widget(k)) > 0) j = k;
  if (j < 0) j = i + 1 < sizes.size() ? i + 1 : i - 1;
  if (j < 0) return;
  const int both = sizes[i] + sizes[j];
  sizes[i] = std::clamp(extent, 0, both);
  sizes[j] = both - sizes[i];
  split->setSizes(sizes);
}

// Page controls and tab controls alike: an index out of range is passed
// over; otherwise the change handler runs once, whether or not the tab
// changes.
template <class Tabs>
void RestoreTab(const QSettings& ini, const QString& key, Tabs* tabs) {
  const int index = ReadInt(ini, key, tabs->currentIndex());
  if (index < 0 || index >= tabs->count()) return;
  if (index == tabs->currentIndex())
    emit tabs->currentChanged(index);
  else
    tabs->setCurrentIndex(index);
}

void FloatAt(QToolBar* bar, const QPoint& at) {
  if (!bar->isWindow()) bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  bar->adjustSize();
  const QRect r(at, bar->size());
  const QScreen* s = QGuiApplication::screenAt(r.center());
  bar->move(FitInside(r, s ? s->availableGeometry() : PrimaryArea()).topLeft());
}

}  // namespace

TWinSaver::TWinSaver(QWidget* owner, const QString& settingsDir)
    : QObject(owner), owner_(owner), dir_(settingsDir) {
  owner_->installEventFilter(this);
}

TWinSaver::~TWinSaver() { owner_->removeEventFilter(this); }

void TWinSaver::MarkPanel(QWidget* panel) { panel->setProperty(kPanelProperty, true); }

QString TWinSaver::iniPath() const {
  if (dir_.isEmpty()) return {};
  QString name = IniFileName;
  if (name.isEmpty())
    name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".INI";
  return QDir::isAbsolutePath(name) ? name : QDir(dir_).filePath(name);
}

QString TWinSaver::toolBarPath() const {
  return dir_.isEmpty() ? QString() : QDir(dir_).filePath(QStringLiteral("ToolBar97.ini"));
}

QString TWinSaver::section() const {
  return IniSection.isEmpty() ? QStringLiteral("WinSaver") : IniSection;
}

bool TWinSaver::eventFilter(QObject* watched, QEvent* event) {
  if (watched != owner_ || inHook_) return false;
  // A spontaneous show is the window coming back from the task bar, not a
  // showing of the window.
  const bool show = event->type() == QEvent::Show && !event->spontaneous();
  const bool close = event->type() == QEvent::Close;
  if (!show && !close) return false;
  // The window's own handler runs first; the layout follows it.
  inHook_ = true;
  static_cast<QObject*>(owner_)->event(event);
  inHook_ = false;
  try {
    if (show)
      Restore();
    else if (event->isAccepted() && AutoSave)
      Save();
  } catch (const std::exception& e) {
    // Only a window built without names gets here; the close goes on.
    qWarning("%s", e.what());
  }
  return true;
}

void TWinSaver::forEachComponent(const std::function<void(QWidget*)>& visit) const {
  // Depth first in the order the children were added: the order of ownership.
  // Other windows (dialogs) are not part of the layout; a floating toolbar is.
  const std::function<void(QWidget*)> walk = [&](QWidget* parent) {
    const QObjectList children = parent->children();
    for (QObject* o : children) {
      auto* w = qobject_cast<QWidget*>(o);
      if (!w || (w->isWindow() && !qobject_cast<QToolBar*>(w))) continue;
      visit(w);
      if (!w->isWindow()) walk(w);
    }
  };
  walk(owner_);
}

QList<QToolBar*> TWinSaver::toolBars() const {
  QList<QToolBar*> bars;
  forEachComponent([&](QWidget* w) {
    if (KindOf(w) == Kind::ToolBar) bars << static_cast<QToolBar*>(w);
  });
  return bars;
}

ToolDock* TWinSaver::dockNamed(const QString& name) const {
  for (ToolDock* d : owner_->findChildren<ToolDock*>())
    if (d->objectName() == name) return d;
  return nullptr;
}

ToolDock* TWinSaver::dockOf(QToolBar* bar) const {
  auto* win = qobject_cast<QMainWindow*>(bar->parentWidget());
  const Qt::ToolBarArea area = win->toolBarArea(bar);
  for (ToolDock* d : owner_->findChildren<ToolDock*>())
    if (d->window() == win && d->area() == area) return d;
  return nullptr;
}

TWinSaver::Placement TWinSaver::placementOf(QToolBar* bar) const {
  Placement p;
  if (bar->isFloating()) {
    p.floating = true;
    p.place = lastDock_.value(bar->objectName());
    return p;
  }
  p.dock = dockOf(bar);
  auto* win = qobject_cast<QMainWindow*>(bar->parentWidget());
  const Qt::ToolBarArea area = win->toolBarArea(bar);
  const bool across = area == Qt::TopToolBarArea || area == Qt::BottomToolBarArea;
  // Rows count from the window's edge inwards, as the main window lays them.
  const auto line = [area](QToolBar* t) {
    const QRect g = t->geometry();
    switch (area) {
      case Qt::TopToolBarArea:
        return g.top();
      case Qt::BottomToolBarArea:
        return -g.bottom();
      case Qt::LeftToolBarArea:
        return g.left();
      default:
        return -g.right();
    }
  };
  QList<int> lines;
  int start = win->contentsRect().top();
  if (QWidget* m = win->menuWidget(); m && m->isVisibleTo(win))
    start = std::max(start, m->geometry().bottom() + 1);
  for (QToolBar* t : win->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
    if (t->isFloating()) continue;
    const Qt::ToolBarArea a = win->toolBarArea(t);
    // A hidden toolbar takes no room in its row.
    if (a == area && (t == bar || t->isVisibleTo(win))) lines << line(t);
    // The side areas begin below the top one.
    if (a == Qt::TopToolBarArea && t->isVisibleTo(win))
      start = std::max(start, t->geometry().bottom() + 1);
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  p.place.row = int(lines.indexOf(line(bar)));
  p.place.pos = across ? bar->x() - win->contentsRect().left() : bar->y() - start;
  return p;
}

// ---------------------------------------------------------------- restore

void TWinSaver::Restore() {
  if (dir_.isEmpty()) return;
  QSettings ini(iniPath(), QSettings::IniFormat);
  ini.beginGroup(section());
  // A section without keys is the first run: the form's own layout stands,
  // toolbars included.
  if (ini.childKeys().isEmpty()) return;
  if (SaveForm) restoreForm(ini);
  forEachComponent([&](QWidget* w) {
    const Kind kind = KindOf(w);
    const QString name = w->objectName();
    if (kind == Kind::ToolBar) {
      if (SaveToolBar) restoreToolBars();
      return;
    }
    if (name.isEmpty()) return;
    if (kind == Kind::PageControl && SavePageControl)
      RestoreTab(ini, name + "_ActivePage", static_cast<QTabWidget*>(w));
    if (kind == Kind::TabControl && SaveTabControl)
      RestoreTab(ini, name + "_TabIndex", static_cast<QTabBar*>(w));
    if (HasBounds(kind) && SaveSize) restoreBounds(ini, w);
  });
}

void TWinSaver::restoreForm(QSettings& ini) {
  const QString n = owner_->objectName();
  const int state = ReadInt(ini, n + "_WindowState", 2);
  const Qt::WindowStates plain =
      owner_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
  if (state == 1) owner_->setWindowState(plain | Qt::WindowMinimized);
  if (state == 2) owner_->setWindowState(plain);
  if (state == 3) {
    // The bounds a maximised window had are not read.
    owner_->setWindowState(plain | Qt::WindowMaximized);
    return;
  }
  owner_->resize(ReadInt(ini, n + "_Width", owner_->width()),
                 ReadInt(ini, n + "_Height", owner_->height()));
  // The frame, where the window system has told it already.
  const QMargins frame =
      owner_->windowHandle() ? owner_->windowHandle()->frameMargins() : QMargins();
  QRect r(QPoint(ReadInt(ini, n + "_Left", owner_->x()), ReadInt(ini, n + "_Top", owner_->y())),
          owner_->size().grownBy(frame));
  // Bounds saved on a monitor that is gone come back on the primary screen.
  if (!Reachable(r)) {
    const QRect area = PrimaryArea();
    r.moveCenter(area.center());
    r = FitInside(r, area);
    owner_->resize(r.size().shrunkBy(frame));
  }
  owner_->move(r.topLeft());
}

void TWinSaver::restoreBounds(QSettings& ini, QWidget* w) {
  const QString n = w->objectName();
  const QRect now = w->geometry();
  const QRect r(ReadInt(ini, n + "_Left", now.x()), ReadInt(ini, n + "_Top", now.y()),
                std::max(0, ReadInt(ini, n + "_Width", now.width())),
                std::max(0, ReadInt(ini, n + "_Height", now.height())));
  QWidget* parent = w->parentWidget();
  if (auto* split = qobject_cast<QSplitter*>(parent))
    SetSplitterExtent(split, w, split->orientation() == Qt::Horizontal ? r.width() : r.height());
  else if (!parent || !parent->layout())
    w->setGeometry(r);
  // Anything else sits in a layout, which sizes it from the window.
}

void TWinSaver::restoreToolBars() {
  QSettings reg(toolBarPath(), QSettings::IniFormat);
  struct Dock {
    QToolBar* bar;
    ToolDock* dock;
    DockPlace place;
  };
  QList<Dock> docks;
  QList<std::pair<QToolBar*, bool>> shown;
  for (QToolBar* bar : toolBars()) {
    const QString name = bar->objectName();
    if (name.isEmpty()) continue;
    reg.beginGroup(name);
    if (ReadInt(reg, "Rev", 0) != 2) {
      reg.endGroup();
      continue;
    }
    const Placement now = placementOf(bar);
    const bool visible = ReadInt(reg, "Visible", bar->isHidden() ? 0 : 1) != 0;
    const QString to = reg.value("DockedTo").toString();
    const DockPlace place{ReadInt(reg, "DockRow", now.place.row),
                          ReadInt(reg, "DockPos", now.place.pos)};
    const QPoint floatAt(ReadInt(reg, "FloatLeft", 0), ReadInt(reg, "FloatTop", 0));
    reg.endGroup();
    shown.append({bar, visible});
    lastFloat_[name] = floatAt;
    if (to == "+") {
      lastDock_[name] = place;
      if (bar->isFloatable()) FloatAt(bar, floatAt);
    } else if (!to.isEmpty()) {
      // A toolbar docks only into the areas of its own main window.
      ToolDock* dock = dockNamed(to);
      if (dock && dock->allowDrag && dock->window() == bar->parentWidget() &&
          bar->isAreaAllowed(dock->area()))
        docks.append({bar, dock, place});
    }
  }
  // The main window arranges its areas once, at its next layout pass: dock
  // area by area, row by row, along each row in order of position.
  std::stable_sort(docks.begin(), docks.end(), [](const Dock& a, const Dock& b) {
    if (a.dock != b.dock) return a.dock->objectName() < b.dock->objectName();
    if (a.place.row != b.place.row) return a.place.row < b.place.row;
    return a.place.pos < b.place.pos;
  });
  for (qsizetype i = 0; i < docks.size(); ++i) {
    const Dock& d = docks[i];
    if (i > 0 && docks[i - 1].dock == d.dock && docks[i - 1].place.row != d.place.row)
      d.dock->window()->addToolBarBreak(d.dock->area());
    d.dock->window()->addToolBar(d.dock->area(), d.bar);
  }
  for (const auto& [bar, visible] : shown) bar->setVisible(visible);
}

// ---------------------------------------------------------------- save

void TWinSaver::Save() {
  if (dir_.isEmpty()) return;
  QSettings ini(iniPath(), QSettings::IniFormat);
  ini.beginGroup(section());
  if (SaveForm) saveForm(ini);
  forEachComponent([&](QWidget* w) {
    const Kind kind = KindOf(w);
    const QString name = w->objectName();
    if (kind == Kind::ToolBar) {
      if (SaveToolBar) saveToolBars();
      return;
    }
    if (name.isEmpty()) return;
    if (kind == Kind::PageControl && SavePageControl)
      ini.setValue(name + "_ActivePage", static_cast<QTabWidget*>(w)->currentIndex());
    if (kind == Kind::TabControl && SaveTabControl)
      ini.setValue(name + "_TabIndex", static_cast<QTabBar*>(w)->currentIndex());
    if (!HasBounds(kind) || !SaveSize) return;
    if (kind == Kind::ScrollBox) {
      auto* box = static_cast<QScrollArea*>(w);
      box->horizontalScrollBar()->setValue(0);
      box->verticalScrollBar()->setValue(0);
    }
    saveBounds(ini, w);
  });
}

void TWinSaver::saveForm(QSettings& ini) {
  const QString n = owner_->objectName();
  saveBounds(ini, owner_);
  ini.setValue(n + "_WindowState", owner_->isMinimized() ? 1 : owner_->isMaximized() ? 3 : 2);
}

void TWinSaver::saveBounds(QSettings& ini, QWidget* w) {
  const QString n = w->objectName();
  ini.setValue(n + "_Width", w->width());
  ini.setValue(n + "_Height", w->height());
  ini.setValue(n + "_Top", w->y());
  ini.setValue(n + "_Left", w->x());
}

void TWinSaver::saveToolBars() {
  QSettings reg(toolBarPath(), QSettings::IniFormat);
  for (QToolBar* bar : toolBars()) {
    const QString name = bar->objectName();
    if (name.isEmpty())
      throw std::runtime_error(
          "Cannot save tool window's position because Name property is not set");
    const Placement p = placementOf(bar);
    QString to;
    if (p.floating) {
      to = QStringLiteral("+");
      lastFloat_[name] = bar->pos();
    } else {
      lastDock_[name] = p.place;
      if (p.dock && p.dock->allowDrag) {
        if (p.dock->objectName().isEmpty())
          throw std::runtime_error(
              "Cannot save tool window's position because DockedTo's Name property not set");
        to = p.dock->objectName();
      }
    }
    const QPoint floatAt = lastFloat_.value(name);
    reg.beginGroup(name);
    reg.setValue("Rev", 2);
    reg.setValue("Visible", bar->isHidden() ? 0 : 1);
    reg.setValue("DockedTo", to);
    reg.setValue("DockRow", p.place.row);
    reg.setValue("DockPos", p.place.pos);
    reg.setValue("FloatLeft", floatAt.x());
    reg.setValue("FloatTop", floatAt.y());
    reg.endGroup();
  }
}
