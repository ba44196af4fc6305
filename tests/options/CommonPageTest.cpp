#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "options/CommonPage.h"

TEST(CommonPage, CaptionsAndEditWidthsFollowTheSettingsPage) {
  rix::CommonPage page;
  EXPECT_EQ(page.Label1->text(), "加在 ROM 前的指令:");
  EXPECT_EQ(page.Label6->text(), "加在 ROM 後的指令:");
  EXPECT_EQ(page.SaveCommandBtn->text(), "參數存檔");
  EXPECT_LT(page.CommandEdit1->y(), page.CommandEdit2->y());

  page.fitCommandEdits(600);
  EXPECT_EQ(page.CommandEdit1->width(), 575);
  EXPECT_EQ(page.CommandEdit2->width(), 575);
  const QSize minimum = page.minimumSizeHint();
  page.fitCommandEdits(2000);
  EXPECT_EQ(page.CommandEdit2->width(), 1975);
  // Wide edits must not stop the window from shrinking again.
  EXPECT_EQ(page.minimumSizeHint(), minimum);
  page.fitCommandEdits(10);
  EXPECT_EQ(page.CommandEdit1->width(), 0);
}
