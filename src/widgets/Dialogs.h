#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;
class QWidget;

namespace rix {

// Every box, question, prompt and file, folder or print dialog of the program
// goes through this interface, so that tests can answer them from a script.
class Dialogs {
public:
  enum class Kind { Error, Confirm, Info };
  // Buttons of a message box; a box shows the ones set, in this order.
  enum Button { Yes = 1, No = 2, Ok = 4, Cancel = 8 };

  struct FileRequest {
    QString title;
    QString filter;            // "text|pattern;pattern|text|pattern", as the program writes it
    QString initialDirectory;  // native
    QString fileName;          // preset name (save dialogs)
    QString defaultSuffix;     // added to a typed name without one ("htm", no dot)
    // The first filter entry lists, beside its patterns, every file that may
    // be run (the permission bit), as programs here rarely carry an extension.
    bool executables = false;
  };

  // The print dialog: whether printing only the selection is offered.
  struct PrintRequest {
    bool selectionOffered = false;
  };
  // What the user chose: the printer passed in is set up by the dialog.
  struct PrintAnswer {
    bool selectionOnly = false;
  };

  virtual ~Dialogs() = default;

  // A modal message box; returns the button pressed (Cancel, or No when there
  // is no Cancel, when the box is closed otherwise).
  virtual int messageBox(Kind kind, const QString& text, int buttons) = 0;
  // The application's error box for errors no handler caught.
  virtual void errorBox(const QString& text) { messageBox(Kind::Error, text, Ok); }
  // Free text: title, prompt, preset text; nullopt on Cancel.
  virtual std::optional<QString> inputQuery(const QString& title, const QString& prompt,
                                            const QString& text, int maxLength) = 0;
  // Native path of the chosen file; nullopt on Cancel.
  virtual std::optional<QString> openFile(const FileRequest& request) = 0;
  virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
  // Native path of the chosen directory; nullopt on Cancel.
  virtual std::optional<QString> browseFolder(const QString& title, const QString& caption,
                                              const QString& start) = 0;
  // Sets up the printer; nullopt on Cancel.
  virtual std::optional<PrintAnswer> printDialog(QPrinter& printer,
                                                 const PrintRequest& request) = 0;

  // Caption of each kind of box.
  static QString CaptionOf(Kind kind);
  // Button texts in box order.
  static QStringList ButtonTexts(int buttons);
  // "text|pattern;pattern|..." to Qt's "text (pattern pattern);;...".
  static QString QtFilter(const QString& filter);
};

}  // namespace rix
