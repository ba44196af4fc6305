#include <gtest/gtest.h>

#include <QIcon>

#include "TestSupport.h"
#include "app/AppIdentity.h"

// The window's icon and the desktop's files must agree, or the desktop shows
// the running program without its menu entry's icon.
TEST(AppIdentity, TheWindowIconAndTheInstalledFilesAgree) {
  EXPECT_EQ(rix::AppIcon().availableSizes(),
            (QList<QSize>{QSize(48, 48), QSize(128, 128), QSize(256, 256)}));
  const QString dist = QStringLiteral(RIX_SOURCE_DIR "/dist/");
  const QString id = rix::AppId();
  const QByteArray desktop = rixtest::ReadAll(dist + id + ".desktop");
  EXPECT_TRUE(desktop.contains("\nIcon=" + id.toUtf8() + "\n"));
  EXPECT_TRUE(rixtest::ReadAll(dist + id + ".metainfo.xml")
                  .contains("<launchable type=\"desktop-id\">" + id.toUtf8() + ".desktop<"));
  EXPECT_FALSE(rixtest::ReadAll(dist + "icons/hicolor/scalable/apps/" + id + ".svg").isEmpty());
}
