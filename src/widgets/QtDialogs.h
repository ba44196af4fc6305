#pragma once

#include <memory>

#include "widgets/Dialogs.h"

class QFileDialog;

namespace rix {

// The real boxes and dialogs, with the program's captions and button texts.
class QtDialogs : public Dialogs {
public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  int messageBox(Kind kind, const QString& text, int buttons) override;
  std::optional<QString> inputQuery(const QString& title, const QString& prompt,
                                    const QString& text, int maxLength) override;
  std::optional<QString> openFile(const FileRequest& request) override;
  std::optional<QString> saveFile(const FileRequest& request) override;
  std::optional<QString> browseFolder(const QString& title, const QString& caption,
                                      const QString& start) override;
  std::optional<PrintAnswer> printDialog(QPrinter& printer, const PrintRequest& request) override;

  // The open or save dialog of a request, set up but not shown.
  static std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const FileRequest& request,
                                                     bool save);
  // The folder dialog, set up but not shown.
  static std::unique_ptr<QFileDialog> MakeFolderDialog(QWidget* owner, const QString& title,
                                                       const QString& caption,
                                                       const QString& start);

private:
  QWidget* parent_;
};

}  // namespace rix
