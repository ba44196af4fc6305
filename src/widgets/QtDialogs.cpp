#include "widgets/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "widgets/ExecutableFilterModel.h"

namespace rix {

namespace {

QWidget* Owner(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }

}  // namespace

int QtDialogs::messageBox(Kind kind, const QString& text, int buttons) {
  QMessageBox box(Owner(parent_));
  box.setWindowTitle(CaptionOf(kind));
  box.setText(text);
  box.setIcon(kind == Kind::Error     ? QMessageBox::Critical
              : kind == Kind::Confirm ? QMessageBox::Question
                                      : QMessageBox::Information);
  struct Entry {
    int id;
    QMessageBox::ButtonRole role;
  };
  const Entry entries[] = {{Yes, QMessageBox::YesRole},
                           {No, QMessageBox::NoRole},
                           {Ok, QMessageBox::AcceptRole},
                           {Cancel, QMessageBox::RejectRole}};
  QList<QPair<QAbstractButton*, int>> made;
  const QStringList texts = ButtonTexts(buttons);
  int t = 0;
  for (const Entry& e : entries) {
    if (!(buttons & e.id)) continue;
    QAbstractButton* b = box.addButton(texts[t++], e.role);
    made.append({b, e.id});
    if (made.size() == 1) box.setDefaultButton(static_cast<QPushButton*>(b));
  }
  box.exec();
  for (const auto& m : made)
    if (box.clickedButton() == m.first) return m.second;
  return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
}

std::optional<QString> QtDialogs::inputQuery(const QString& title, const QString& prompt,
                                             const QString& text, int maxLength) {
  QDialog dlg(Owner(parent_));
  dlg.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dlg);
  layout->addWidget(new QLabel(prompt, &dlg));
  auto* edit = new QLineEdit(text, &dlg);
  if (maxLength > 0) edit->setMaxLength(maxLength);
  edit->selectAll();
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(&dlg);
  buttons->addButton(QStringLiteral("確定"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  layout->addWidget(buttons);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text();
}

namespace {

// Qt's dialog lays its list out for short English captions: the size column
// showed "462...tes". Wide enough to start with, and its columns fit their texts.
void FitFileDialog(QFileDialog& dlg) {
  dlg.resize(std::max(dlg.width(), 760), std::max(dlg.height(), 460));
  if (auto* tree = dlg.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* h = tree->header();
    h->setMinimumSectionSize(60);
    h->setStretchLastSection(false);
    h->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < h->count(); ++c) h->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  }
}

std::optional<QString> RunFileDialog(QFileDialog& dlg) {
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  return dlg.selectedFiles().first();
}

}  // namespace

std::unique_ptr<QFileDialog> QtDialogs::MakeFileDialog(QWidget* owner, const FileRequest& request,
                                                       bool save) {
  QString start = request.initialDirectory;
  if (save && !request.fileName.isEmpty())
    start += (start.isEmpty() || start.endsWith(u'/') ? QString() : QStringLiteral("/")) +
             request.fileName;
  QStringList filters = QtFilter(request.filter).split(QStringLiteral(";;"));
  QStringList runnable;
  if (request.executables && !filters.isEmpty()) {
    // The first entry's patterns go to the proxy, which adds the files that
    // may be run; the dialog itself lets every name through for it.
    runnable = request.filter.section(u'|', 1, 1).split(u';', Qt::SkipEmptyParts);
    filters.first() = request.filter.section(u'|', 0, 0) + QStringLiteral(" (*)");
  }
  auto dlg = std::make_unique<QFileDialog>(owner, request.title, start, filters.join(";;"));
  dlg->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.defaultSuffix.isEmpty()) dlg->setDefaultSuffix(request.defaultSuffix);
  // The program asks its own overwrite question where one is due.
  if (save) dlg->setOption(QFileDialog::DontConfirmOverwrite, true);
  if (request.executables && !filters.isEmpty()) {
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    // "(*)" would tell the user nothing; the entry's name says what it lists.
    dlg->setOption(QFileDialog::HideNameFilterDetails, true);
    auto* proxy = new ExecutableFilterModel(runnable, dlg.get());
    dlg->setProxyModel(proxy);
    const QString first = filters.first();
    QObject::connect(dlg.get(), &QFileDialog::filterSelected, proxy,
                     [proxy, first](const QString& f) { proxy->setActive(f == first); });
  }
  FitFileDialog(*dlg);
  return dlg;
}

std::unique_ptr<QFileDialog> QtDialogs::MakeFolderDialog(QWidget* owner, const QString& title,
                                                         const QString& caption,
                                                         const QString& start) {
  auto dlg = std::make_unique<QFileDialog>(owner, caption, start);
  dlg->setFileMode(QFileDialog::Directory);
  dlg->setOption(QFileDialog::ShowDirsOnly, true);
  dlg->setLabelText(QFileDialog::LookIn, title);
  FitFileDialog(*dlg);
  return dlg;
}

std::optional<QString> QtDialogs::openFile(const FileRequest& request) {
  return RunFileDialog(*MakeFileDialog(Owner(parent_), request, false));
}

std::optional<QString> QtDialogs::saveFile(const FileRequest& request) {
  return RunFileDialog(*MakeFileDialog(Owner(parent_), request, true));
}

std::optional<Dialogs::PrintAnswer> QtDialogs::printDialog(QPrinter& printer,
                                                           const PrintRequest& request) {
  QPrintDialog dlg(&printer, Owner(parent_));
  QAbstractPrintDialog::PrintDialogOptions options = dlg.options();
  options.setFlag(QAbstractPrintDialog::PrintSelection, request.selectionOffered);
  options.setFlag(QAbstractPrintDialog::PrintPageRange, false);
  dlg.setOptions(options);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  PrintAnswer answer;
  answer.selectionOnly = request.selectionOffered && dlg.printRange() == QPrintDialog::Selection;
  return answer;
}

std::optional<QString> QtDialogs::browseFolder(const QString& title, const QString& caption,
                                               const QString& start) {
  return RunFileDialog(*MakeFolderDialog(Owner(parent_), title, caption, start));
}

}  // namespace rix
