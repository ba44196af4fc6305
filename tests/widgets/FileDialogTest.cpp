// The real file dialogs, built as the program shows them but never run modal.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTest>
#include <QTranslator>

#include "TestSupport.h"
#include "widgets/QtDialogs.h"
#include "widgets/QtTranslations.h"

using namespace rix;

namespace {

// The names the dialog's list shows for its directory, once it has read it.
QStringList Listed(QFileDialog& dlg, int expected) {
  auto* list = dlg.findChild<QListView*>(QStringLiteral("listView"));
  if (!list) return {};
  QStringList names;
  for (int i = 0; i < 200; ++i) {
    names.clear();
    const QModelIndex root = list->rootIndex();
    for (int r = 0; r < list->model()->rowCount(root); ++r)
      names << list->model()->index(r, 0, root).data().toString();
    if (names.size() == expected) break;
    QTest::qWait(10);
  }
  names.sort();
  return names;
}

TEST(FileDialogTest, TheProgramPickerListsFilesThatMayBeRunAndKeepsAllFiles) {
  rixtest::ScratchDir dir;
  for (const char* f : {"demoemu", "readme.txt", "GAME.EXE", "tool.bat"})
    ASSERT_TRUE(rixtest::WriteAll(dir.file(f), "x"));
  QFile::setPermissions(dir.file("demoemu"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  Dialogs::FileRequest req;
  req.filter = QStringLiteral("執行檔|*.exe;*.com;*.bat|*.* 全部檔案|*.*");
  req.executables = true;
  req.initialDirectory = dir.path();
  auto dlg = QtDialogs::MakeFileDialog(nullptr, req, false);
  dlg->show();
  // A Linux program has no extension: listed for its permission bit.
  EXPECT_EQ(Listed(*dlg, 3), (QStringList{"GAME.EXE", "demoemu", "tool.bat"}));
  ASSERT_EQ(dlg->nameFilters().size(), 2);
  dlg->selectNameFilter(dlg->nameFilters().at(1));
  emit dlg->filterSelected(dlg->nameFilters().at(1));
  EXPECT_EQ(Listed(*dlg, 4), (QStringList{"GAME.EXE", "demoemu", "readme.txt", "tool.bat"}));
  // The list's columns are laid out wide enough to read.
  EXPECT_GE(dlg->width(), 760);
}

TEST(FileDialogTest, QtsOwnDialogTextsAreChinese) {
  QTranslator* translator = InstallQtTranslations();
  ASSERT_NE(translator, nullptr) << "qt6-translations-l10n is not installed";
  rixtest::ScratchDir dir;
  Dialogs::FileRequest req;
  req.filter = QStringLiteral("*.* 全部檔案|*.*");
  req.initialDirectory = dir.path();
  auto dlg = QtDialogs::MakeFileDialog(nullptr, req, false);
  QStringList texts;
  for (QAbstractButton* b : dlg->findChild<QDialogButtonBox*>()->buttons()) texts << b->text();
  QCoreApplication::removeTranslator(translator);
  delete translator;
  EXPECT_TRUE(texts.contains(QStringLiteral("取消"))) << texts.join(',').toStdString();
}

}  // namespace
