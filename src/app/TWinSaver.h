#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QSettings;
class QToolBar;
class QWidget;

namespace rix {
class ToolDock;
}

// Remembers the layout of the window that owns it from one run to the next:
// the window's bounds and state, the active tab of each page control, the
// bounds of its panels and page controls, and where each toolbar docks or
// floats. It hooks the window's show and close, so the window itself holds
// no code for it. Two INI files in the settings directory hold the values:
// one named after the executable (or IniFileName) and "ToolBar97.ini".
class TWinSaver : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString IniFileName MEMBER IniFileName)
  Q_PROPERTY(QString IniSection MEMBER IniSection)
  Q_PROPERTY(bool AutoSave MEMBER AutoSave)
  Q_PROPERTY(bool SaveForm MEMBER SaveForm)
  Q_PROPERTY(bool SavePageControl MEMBER SavePageControl)
  Q_PROPERTY(bool SaveTabControl MEMBER SaveTabControl)
  Q_PROPERTY(bool SaveToolBar MEMBER SaveToolBar)
  Q_PROPERTY(bool SaveSize MEMBER SaveSize)

public:
  // An empty settings directory keeps the layout memory off: nothing is read
  // or written.
  TWinSaver(QWidget* owner, const QString& settingsDir);
  ~TWinSaver() override;

  QString IniFileName;              // empty: the executable's name with ".INI"
  QString IniSection = "WinSaver";  // empty also means "WinSaver"
  bool AutoSave = true;             // save at close
  bool SaveForm = true;             // the window's bounds and state
  bool SavePageControl = true;      // the active tab of each page control
  bool SaveTabControl = true;       // the index of each tab control
  bool SaveToolBar = true;          // the toolbar positions
  bool SaveSize = true;             // bounds of page and tab controls, scroll boxes, panels

  QString iniPath() const;      // empty when the memory is off
  QString toolBarPath() const;  // empty when the memory is off

  void Restore();
  // Throws std::runtime_error when a toolbar or its dock has no name; what
  // was written before stays.
  void Save();

  // Marks a widget as a panel, whose bounds are remembered.
  static void MarkPanel(QWidget* panel);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  struct DockPlace {
    int row = 0;
    int pos = 0;
  };
  struct Placement {
    rix::ToolDock* dock = nullptr;  // null when floating or in an unnamed area
    bool floating = false;
    DockPlace place;
  };

  QString section() const;
  void forEachComponent(const std::function<void(QWidget*)>& visit) const;
  QList<QToolBar*> toolBars() const;
  rix::ToolDock* dockNamed(const QString& name) const;
  rix::ToolDock* dockOf(QToolBar* bar) const;
  Placement placementOf(QToolBar* bar) const;

  void restoreForm(QSettings& ini);
  void restoreBounds(QSettings& ini, QWidget* w);
  void restoreToolBars();
  void saveForm(QSettings& ini);
  void saveBounds(QSettings& ini, QWidget* w);
  void saveToolBars();

  QWidget* owner_;
  QString dir_;
  bool inHook_ = false;
  // What Qt does not keep for a toolbar: where it last docked while it
  // floats, and where it last floated while it docks.
  QHash<QString, DockPlace> lastDock_;
  QHash<QString, QPoint> lastFloat_;
};
