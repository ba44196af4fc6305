#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleOption>

#include "widgets/ExtensionIconStyle.h"

namespace {

bool SamePictures(const QIcon& a, const QIcon& b) {
  if (a.availableSizes() != b.availableSizes() || a.availableSizes().isEmpty()) return false;
  for (const QSize& s : a.availableSizes())
    if (a.pixmap(s).toImage() != b.pixmap(s).toImage()) return false;
  return true;
}

}  // namespace

TEST(ExtensionIconStyle, ShowsTheArrowsTheDesktopStyleShows) {
  QStyle* desktop = QApplication::style();
  rix::ExtensionIconStyle ours;
  for (const auto direction : {Qt::LeftToRight, Qt::RightToLeft}) {
    QStyleOption opt;
    opt.direction = direction;
    for (const auto icon :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton})
      EXPECT_TRUE(SamePictures(ours.standardIcon(icon, &opt), desktop->standardIcon(icon, &opt)))
          << icon << " " << direction;
  }
  // Everything else is the desktop style's own.
  EXPECT_TRUE(SamePictures(ours.standardIcon(QStyle::SP_DialogOkButton),
                           desktop->standardIcon(QStyle::SP_DialogOkButton)));
}
