#include <gtest/gtest.h>

#include <QStackedWidget>

#include "options/NeoRageOptions.h"
#include "options/OptionsPage.h"
#include "options/OptionsPages.h"

using rix::BuildNeoRageSwitches;
using rix::CounterPosition;
using rix::NeoRageOptions;
using rix::ParseNeoRageSwitches;

namespace {

NeoRageOptions Parse(const QString& text, NeoRageOptions from = {}) {
  return ParseNeoRageSwitches(text, from);
}

}  // namespace

TEST(NeoRageSwitches, VgaWithFrameskipReadsVsyncTooAndRebuildsInOrder) {
  const NeoRageOptions o = Parse("-vga -f3");
  EXPECT_TRUE(o.vsync);  // "-vga" holds "-v"
  EXPECT_EQ(o.frameskip, "3");
  EXPECT_EQ(o.videoMode, 1);
  EXPECT_FALSE(o.scanlines || o.joystick || o.skipAnalysis);
  EXPECT_EQ(BuildNeoRageSwitches(o), "-v -f3 -vga");
}

TEST(NeoRageSwitches, UnknownSwitchesAreDroppedByTheRebuild) {
  const NeoRageOptions o = Parse("-x -j");
  EXPECT_TRUE(o.joystick);
  EXPECT_EQ(BuildNeoRageSwitches(o), "-j");
}

TEST(NeoRageSwitches, RebuildKeepsTheFixedOrderAndTrims) {
  NeoRageOptions all;
  all.vsync = all.scanlines = all.joystick = all.skipAnalysis = true;
  all.frameskip = "4";
  all.videoMode = 2;
  EXPECT_EQ(BuildNeoRageSwitches(all), "-v -f4 -modex -noanalys -s -j");

  NeoRageOptions example;
  example.vsync = example.joystick = true;
  example.frameskip = "2";
  example.videoMode = 1;
  EXPECT_EQ(BuildNeoRageSwitches(example), "-v -f2 -vga -j");

  NeoRageOptions plain;  // frame skip 0, mode "default" or none: nothing at all
  EXPECT_EQ(BuildNeoRageSwitches(plain), "");
  plain.videoMode = 0;
  plain.scanlines = true;
  EXPECT_EQ(BuildNeoRageSwitches(plain), "-s");
}

TEST(NeoRageSwitches, CounterAndVideoModeKeepTheirStateWhenNotNamed) {
  NeoRageOptions before;
  before.videoMode = 1;
  before.frameskip = "2";
  before.vsync = before.joystick = true;
  const NeoRageOptions o = Parse("-s", before);
  EXPECT_EQ(o.videoMode, 1);  // not set back to "default"
  EXPECT_EQ(o.frameskip, "2");
  EXPECT_FALSE(o.vsync);  // check boxes follow the text exactly
  EXPECT_FALSE(o.joystick);
  EXPECT_TRUE(o.scanlines);
  EXPECT_EQ(BuildNeoRageSwitches(o), "-f2 -vga -s");
}

TEST(NeoRageSwitches, ModexWinsOverVga) {
  EXPECT_EQ(Parse("-modex -vga").videoMode, 2);
  EXPECT_EQ(Parse("-vga -modex").videoMode, 2);
}

TEST(NeoRageSwitches, PlainSubstringAndCaseSensitiveTests) {
  const NeoRageOptions o = Parse("-sound -joy -fast");
  EXPECT_TRUE(o.scanlines);
  EXPECT_TRUE(o.joystick);
  EXPECT_EQ(o.frameskip, "a");  // the character after the first "-f"
  EXPECT_EQ(BuildNeoRageSwitches(o), "-s -j");

  const NeoRageOptions upper = Parse("-V -S -J -VGA -NOANALYS -F2");
  EXPECT_EQ(upper, NeoRageOptions{});

  EXPECT_TRUE(Parse("-noanalys").skipAnalysis);
  EXPECT_EQ(Parse("-f1 -f3").frameskip, "1");
}

TEST(NeoRageSwitches, FrameskipAtTheEndOrOutOfRange) {
  NeoRageOptions before;
  before.frameskip = "3";
  const NeoRageOptions atEnd = Parse("-j -f", before);
  EXPECT_EQ(atEnd.frameskip, "");
  EXPECT_EQ(BuildNeoRageSwitches(atEnd), "-j");  // an empty counter means no frame skip
  EXPECT_EQ(BuildNeoRageSwitches(Parse("-f9")), "-f4");
  EXPECT_EQ(BuildNeoRageSwitches(Parse("-f0")), "");
  // A character outside the basic plane is taken whole, not half.
  EXPECT_EQ(Parse(QString::fromUtf8("-f\xF0\x9F\x98\x80x")).frameskip.size(), 2);
}

TEST(NeoRageSwitches, CounterPositionOfTexts) {
  const struct {
    const char* text;
    int position;
  } cases[] = {{"", 0},
               {"0", 0},
               {"3", 3},
               {"4", 4},
               {"9", 4},
               {"x", 0},
               {" 2 ", 2},
               {"-1", 0},
               {"1a", 0},
               {"00003", 3},
               {"12", 4},
               {"+2", 0},
               {"000000000002", 2},
               {"99999999999999", 4}};
  for (const auto& c : cases) EXPECT_EQ(CounterPosition(c.text, 0, 4), c.position) << c.text;
  EXPECT_EQ(CounterPosition("0", 1, 4), 1);
}

TEST(OptionsPages, PageChosenByTrimmedNameWithoutCase) {
  EXPECT_EQ(rix::OptionsPageFor(u"  zsnes\t"), rix::kZsnesPage);
  EXPECT_EQ(rix::OptionsPageFor(u"NEORAGE"), rix::kNeoRagePage);
  EXPECT_EQ(rix::OptionsPageFor(u"Common"), rix::kCommonPage);
  EXPECT_EQ(rix::OptionsPageFor(u""), rix::kCommonPage);
  EXPECT_EQ(rix::OptionsPageFor(u"Neo Rage"), rix::kCommonPage);
  EXPECT_EQ(rix::OptionsPageNames().at(rix::kZsnesPage), "zSNES");
}

TEST(OptionsPages, TheStackIsBuiltInTheListsOrderUnderTheListsNames) {
  QStackedWidget stack;
  const QList<rix::OptionsPage*> pages = rix::AddOptionsPages(&stack);
  const QStringList names = rix::OptionsPageNames();
  ASSERT_EQ(stack.count(), names.size());
  for (int i = 0; i < names.size(); ++i) {
    EXPECT_EQ(stack.widget(i), pages[i]);
    EXPECT_EQ(pages[i]->pageName(), names[i]);
    EXPECT_EQ(rix::OptionsPageFor(names[i].toUpper()), i);
  }
}
