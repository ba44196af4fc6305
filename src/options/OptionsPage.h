#pragma once

#include <QString>
#include <QWidget>

namespace rix {

// One page of the settings notebook. The emulator table's options-page cell
// chooses it by name; when an emulator is selected the window shows its page
// and hands it the after-game command. A page whose controls stand for the
// emulator's switches reports the command they make, and any page may ask for
// the command parts to be stored in the table.
class OptionsPage : public QWidget {
  Q_OBJECT
public:
  // The name is the page's object name and the word a table cell gives.
  OptionsPage(QStringView name, QWidget* parent);

  QString pageName() const { return objectName(); }

  // The selected emulator's after-game command, shown on this page.
  virtual void showCommand(const QString& afterGame);

signals:
  // The page's controls now stand for this after-game command.
  void commandChanged(const QString& afterGame);
  // The user asked for the command parts to be stored in the table.
  void saveRequested();
};

}  // namespace rix
