#pragma once

#include <QList>
#include <QVariant>
#include <deque>

#include "widgets/Dialogs.h"

namespace rix {

// Dialogs for tests: answers from a script, in order, and records every box
// that was shown. A box with no scripted answer records the fact and is
// answered as if closed (Cancel / No / nullopt).
class ScriptedDialogs : public Dialogs {
public:
  struct Shown {
    QString kind;     // "error", "confirm", "info", "input", "open", "save", "folder", "print"
    QString caption;  // box caption or dialog title
    QString text;     // box text, prompt, or filter
    QStringList buttons;
    QString preset;                 // input preset text or initial directory
    QString fileName;               // preset name of a save dialog
    QString defaultSuffix;          // of an open or save dialog
    bool selectionOffered = false;  // of a print dialog
    bool executables = false;       // of an open dialog: files that may be run listed
    bool unscripted = false;
  };

  // Answers: a button (Dialogs::Button) for boxes, a QString (or a null
  // QVariant for Cancel) for the others.
  void answer(QVariant a) { answers_.push_back(std::move(a)); }
  void answerButton(int button) { answers_.push_back(button); }
  void answerText(const QString& text) { answers_.push_back(text); }
  void answerCancel() { answers_.push_back(QVariant()); }
  // A print dialog answered by printing to a PDF file at pdfPath.
  void answerPrint(const QString& pdfPath, bool selectionOnly = false) {
    answers_.push_back(QVariantMap{{QStringLiteral("pdf"), pdfPath},
                                   {QStringLiteral("selection"), selectionOnly}});
  }

  const QList<Shown>& shown() const { return shown_; }
  void clearShown() { shown_.clear(); }
  int pending() const { return static_cast<int>(answers_.size()); }

  int messageBox(Kind kind, const QString& text, int buttons) override;
  std::optional<QString> inputQuery(const QString& title, const QString& prompt,
                                    const QString& text, int maxLength) override;
  std::optional<QString> openFile(const FileRequest& request) override;
  std::optional<QString> saveFile(const FileRequest& request) override;
  std::optional<QString> browseFolder(const QString& title, const QString& caption,
                                      const QString& start) override;
  std::optional<PrintAnswer> printDialog(QPrinter& printer, const PrintRequest& request) override;

private:
  std::optional<QVariant> next(Shown& s);
  std::optional<QString> textAnswer(Shown s);

  std::deque<QVariant> answers_;
  QList<Shown> shown_;
};

}  // namespace rix
