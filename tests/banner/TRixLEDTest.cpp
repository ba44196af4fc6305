#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <vector>

#include "banner/TRixLED.h"

namespace {

const QColor kLit(0, 255, 0);
const QColor kUnlit(128, 128, 128);
const QColor kBack(0, 0, 0);

// A picture whose column x (or row y) has a colour of its own, so that a frame
// tells which image column landed where.
QImage Stripes(int w, int h, bool byColumn) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(10 + 20 * (byColumn ? x : y), 7, 99));
  return img;
}

QRgb StripeColour(int i) { return qRgb(10 + 20 * i, 7, 99); }

// One dot per pixel and no gaps: DotImage is then the picture itself.
void OnePixelDots(TRixLED& led) {
  led.SetDotSize(1);
  led.SetDotSpace(0);
}

std::vector<int> Offsets(TRixLED& led, int ticks) {
  std::vector<int> seen;
  for (int i = 0; i < ticks; ++i) {
    seen.push_back(led.ScrollPos());
    led.TimerTick();
  }
  return seen;
}

bool HasColour(const QImage& img, const QColor& c) {
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      if (rgb.pixel(x, y) == c.rgb()) return true;
  return false;
}

QImage Frame(TRixLED& led) { return led.grab().toImage().convertToFormat(QImage::Format_RGB32); }

class RixLEDTest : public ::testing::Test {
protected:
  void SetUp() override { TRixLED::FlashPhase = true; }
};

TEST_F(RixLEDTest, DefaultsMatchThePublishedOnes) {
  TRixLED led;
  EXPECT_FALSE(led.AutoSize());
  EXPECT_EQ(led.BackColor(), kBack);
  EXPECT_EQ(led.DotSize(), 2);
  EXPECT_EQ(led.DotSpace(), 1);
  EXPECT_EQ(led.EnabledDotColor(), kUnlit);
  EXPECT_EQ(led.FontColor(), kLit);
  EXPECT_EQ(led.Speed(), 10);
  EXPECT_EQ(led.MoveStep(), 3);
  EXPECT_FALSE(led.Scroll());
  EXPECT_FALSE(led.ScrollTimer()->isActive());
  EXPECT_EQ(led.ScrollMode(), smRightToLeft);
  EXPECT_EQ(led.TextBorderWidth(), 2);
  EXPECT_EQ(led.BevelOuter(), bvRaised);
  EXPECT_FALSE(led.Text().isEmpty());
  EXPECT_EQ(led.ScrollPos(), 0);
  EXPECT_EQ(led.DrawArea().left(), 0);
  EXPECT_EQ(led.DrawArea().top(), 0);
  // The control starts as large as its dot image.
  EXPECT_EQ(led.size(), led.DotImage().size());
  EXPECT_EQ(static_cast<int>(smFlash), 5);
  EXPECT_EQ(static_cast<int>(smLeftToRight), 1);
}

TEST_F(RixLEDTest, EveryPixelBecomesASquareDotWithGaps) {
  TRixLED led;
  const QImage pic = Stripes(10, 5, true);
  led.SetPicture(pic);
  const QImage& dots = led.DotImage();
  ASSERT_EQ(dots.size(), QSize(30, 15));
  EXPECT_EQ(dots.pixel(1, 1), pic.pixel(0, 0));
  EXPECT_EQ(dots.pixel(2, 2), pic.pixel(0, 0));
  EXPECT_EQ(dots.pixel(0, 0), kBack.rgb());
  EXPECT_EQ(dots.pixel(3, 1), kBack.rgb());
  EXPECT_EQ(dots.pixel(1, 3), kBack.rgb());
  EXPECT_EQ(dots.pixel(29, 14), pic.pixel(9, 4));

  // The rule in general, with a wider dot and gap.
  led.SetDotSize(3);
  led.SetDotSpace(2);
  const QImage& big = led.DotImage();
  ASSERT_EQ(big.size(), QSize(50, 25));
  for (int y = 0; y < big.height(); ++y)
    for (int x = 0; x < big.width(); ++x) {
      const bool inDot = x % 5 >= 2 && y % 5 >= 2;
      const QRgb want = inDot ? pic.pixel(x / 5, y / 5) : kBack.rgb();
      ASSERT_EQ(big.pixel(x, y), want) << x << "," << y;
    }
}

TEST_F(RixLEDTest, TextIsRenderedWithItsMarginInLitAndUnlitDots) {
  TRixLED led;
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(11);
  f.setBold(true);
  led.setFont(f);
  led.SetText(QStringLiteral("RIX"));
  QFont rendered = f;  // the dots are drawn from unhinted, unblended outlines
  rendered.setStyleStrategy(QFont::NoAntialias);
  rendered.setHintingPreference(QFont::PreferNoHinting);
  const QFontMetrics fm(rendered);
  EXPECT_EQ(led.TextImage().width(), fm.horizontalAdvance(QStringLiteral("RIX")) + 4);
  EXPECT_EQ(led.TextImage().height(), fm.height() + 4);
  // The margin is unlit; only the two dot colours appear in the text image.
  EXPECT_EQ(led.TextImage().pixel(1, 1), kUnlit.rgb());
  bool lit = false;
  for (int y = 0; y < led.TextImage().height(); ++y)
    for (int x = 0; x < led.TextImage().width(); ++x) {
      const QRgb c = led.TextImage().pixel(x, y);
      ASSERT_TRUE(c == kUnlit.rgb() || c == kLit.rgb());
      lit = lit || c == kLit.rgb();
    }
  EXPECT_TRUE(lit);

  // A font change renders again.
  f.setPixelSize(20);
  led.setFont(f);
  rendered.setPixelSize(20);
  EXPECT_EQ(led.TextImage().height(), QFontMetrics(rendered).height() + 4);
}

TEST_F(RixLEDTest, EmptyTextBecomesThreeBlanks) {
  TRixLED led;
  led.SetText(QString());
  EXPECT_EQ(led.Text(), QStringLiteral("   "));
  EXPECT_GT(led.TextImage().width(), 4);
  for (int y = 0; y < led.TextImage().height(); ++y)
    for (int x = 0; x < led.TextImage().width(); ++x)
      ASSERT_EQ(led.TextImage().pixel(x, y), kUnlit.rgb());
}

TEST_F(RixLEDTest, AutoSizeFitsTheDotsPlusTheLastPaintsInset) {
  TRixLED led;
  led.SetAutoSize(true);
  EXPECT_EQ(led.size(), led.DotImage().size() + QSize(1, 1));
  EXPECT_EQ(led.sizeHint(), led.size());

  // A still paint leaves the area inset by the bevel and the gap: 2 each side.
  Frame(led);
  EXPECT_EQ(led.DrawArea().topLeft(), QPoint(2, 2));
  led.SetText(QStringLiteral("longer text than before"));
  EXPECT_EQ(led.size(), led.DotImage().size() + QSize(5, 5));
}

TEST_F(RixLEDTest, SettersThatChangeNothingDoNotRebuild) {
  TRixLED led;
  led.SetAutoSize(true);
  const QSize fitted = led.size();
  // A rebuild would fit the control again; equal values must not.
  led.resize(5, 5);
  led.SetDotSize(2);
  led.SetDotSpace(1);
  led.SetBackColor(kBack);
  led.SetEnabledDotColor(kUnlit);
  led.SetTextBorderWidth(2);
  led.SetAutoSize(true);
  led.SetText(led.Text());
  EXPECT_EQ(led.size(), QSize(5, 5));
  led.SetBackColor(QColor(1, 2, 3));
  EXPECT_EQ(led.size(), fitted);

  // The same text keeps the motion going; a new one starts it over.
  led.TimerTick();
  led.TimerTick();
  ASSERT_EQ(led.ScrollPos(), 6);
  led.SetText(led.Text());
  EXPECT_EQ(led.ScrollPos(), 6);
  led.SetDotSize(3);  // other changes keep the offset
  EXPECT_EQ(led.ScrollPos(), 6);
  led.SetText(QStringLiteral("new"));
  EXPECT_EQ(led.ScrollPos(), 0);

  led.TimerTick();
  led.SetScrollMode(smRightToLeft);
  EXPECT_EQ(led.ScrollPos(), 3);
  led.SetScrollMode(smBottomToTop);
  EXPECT_EQ(led.ScrollPos(), 0);
}

TEST_F(RixLEDTest, PictureReplacesTextAndAlwaysRebuilds) {
  TRixLED led;
  led.SetAutoSize(true);
  const QImage pic = Stripes(7, 3, true);
  led.SetPicture(pic);
  EXPECT_TRUE(led.Text().isEmpty());
  EXPECT_EQ(led.TextImage(), pic);
  EXPECT_EQ(led.size(), QSize(22, 10));
  led.resize(5, 5);
  led.SetPicture(pic);
  EXPECT_EQ(led.size(), QSize(22, 10));

  led.SetText(QStringLiteral("back to text"));
  EXPECT_TRUE(led.Picture().isNull());
  EXPECT_NE(led.TextImage().size(), pic.size());

  // Clearing the picture falls back to text, which is then three blanks.
  led.SetPicture(QImage());
  EXPECT_EQ(led.Text(), QStringLiteral("   "));
}

TEST_F(RixLEDTest, ScrollAndSpeedDriveTheTimer) {
  TRixLED led;
  led.SetSpeed(40);
  EXPECT_EQ(led.Speed(), 40);
  EXPECT_EQ(led.ScrollTimer()->interval(), 40);
  led.SetScroll(true);
  EXPECT_TRUE(led.ScrollTimer()->isActive());
  led.SetScroll(false);
  EXPECT_FALSE(led.ScrollTimer()->isActive());
  // A zero interval never fires rather than spinning.
  led.SetScroll(true);
  led.SetSpeed(0);
  EXPECT_FALSE(led.ScrollTimer()->isActive());
  led.SetSpeed(15);
  EXPECT_TRUE(led.ScrollTimer()->isActive());
  // The timer really ticks the control.
  led.SetSpeed(1);
  for (int i = 0; i < 200 && led.ScrollPos() == 0; ++i) QTest::qWait(10);
  EXPECT_GT(led.ScrollPos(), 0);
}

TEST_F(RixLEDTest, HorizontalOffsetsWrapAsAnEndlessRibbon) {
  TRixLED led;
  OnePixelDots(led);
  led.SetPicture(Stripes(10, 2, true));
  ASSERT_EQ(led.DotImage().width(), 10);
  EXPECT_EQ(Offsets(led, 10), (std::vector<int>{0, 3, 6, 9, 12, 3, 6, 9, 12, 3}));

  led.SetScrollMode(smLeftToRight);
  EXPECT_EQ(Offsets(led, 8), (std::vector<int>{0, 7, 4, 1, -2, 7, 4, 1}));

  // Landing exactly on the image's end wraps too.
  led.SetMoveStep(5);
  led.SetScrollMode(smRightToLeft);
  EXPECT_EQ(Offsets(led, 5), (std::vector<int>{0, 5, 10, 5, 10}));
  led.SetScrollMode(smLeftToRight);
  EXPECT_EQ(Offsets(led, 5), (std::vector<int>{0, 5, 0, 5, 0}));

  led.SetScrollMode(smNone);
  EXPECT_EQ(Offsets(led, 3), (std::vector<int>{0, 0, 0}));
}

TEST_F(RixLEDTest, VerticalOffsetsWrapTheSameWayByRows) {
  TRixLED led;
  OnePixelDots(led);
  led.SetPicture(Stripes(2, 10, false));
  led.SetScrollMode(smBottomToTop);
  EXPECT_EQ(Offsets(led, 10), (std::vector<int>{0, 3, 6, 9, 12, 3, 6, 9, 12, 3}));
  led.SetScrollMode(smTopToBottom);
  EXPECT_EQ(Offsets(led, 8), (std::vector<int>{0, 7, 4, 1, -2, 7, 4, 1}));
}

TEST_F(RixLEDTest, ScrollingFramesShowTheRibbonAtTheDrawnOffset) {
  TRixLED led;
  OnePixelDots(led);
  led.SetSpeed(1000000);  // the test ticks by hand
  led.SetPicture(Stripes(10, 4, true));
  led.resize(37, 6);  // 35 x 4 inside the bevel: three and a half copies
  led.SetScroll(true);
  for (int tick = 0; tick < 7; ++tick) {
    const int drawn = led.ScrollPos();
    led.TimerTick();
    const QImage f = Frame(led);
    ASSERT_EQ(led.DrawArea(), QRect(1, 1, 35, 4));
    for (int k = 0; k < 35; ++k)
      ASSERT_EQ(f.pixel(1 + k, 2), StripeColour(((drawn + k) % 10 + 10) % 10))
          << "tick " << tick << " column " << k;
  }

  led.SetScrollMode(smTopToBottom);
  led.SetPicture(Stripes(3, 4, false));
  led.resize(7, 12);  // 5 x 10 inside: rows repeat every 4
  for (int tick = 0; tick < 4; ++tick) {
    const int drawn = led.ScrollPos();
    led.TimerTick();
    const QImage f = Frame(led);
    for (int k = 0; k < 10; ++k)
      ASSERT_EQ(f.pixel(2, 1 + k), StripeColour(((drawn + k) % 4 + 4) % 4)) << tick << "/" << k;
    // Beyond the image's width the area stays dark.
    EXPECT_EQ(f.pixel(4, 1), kBack.rgb());
  }
}

TEST_F(RixLEDTest, StillPaintShowsOffsetZeroInsetByTheGap) {
  TRixLED led;
  led.SetPicture(Stripes(4, 2, true));
  led.resize(led.DotImage().size() + QSize(4, 4));
  led.TimerTick();
  led.TimerTick();
  const QImage f = Frame(led);
  EXPECT_EQ(led.ScrollPos(), 0);
  EXPECT_EQ(led.DrawArea(), QRect(2, 2, led.DotImage().width(), led.DotImage().height()));
  EXPECT_EQ(f.copy(led.DrawArea()), led.DotImage());
}

// What the window shows, as the ticks left it, against a repaint of the whole
// control from its state: a tick moves the screen and draws only a strip, so
// every frame must still equal the full picture.
TEST_F(RixLEDTest, MovedFramesEqualAFullRepaintAfterEveryTick) {
  TRixLED led;
  led.SetSpeed(1000000);  // the test ticks by hand
  led.SetText(QStringLiteral("Hi there"));
  led.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&led));
  const auto screenFrame = [&led] {
    return QGuiApplication::primaryScreen()
        ->grabWindow(led.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  };
  struct Case {
    TScrollMode mode;
    int step;
    QSize size;
  };
  const int wd = led.DotImage().width();
  const int hd = led.DotImage().height();
  // Narrower and wider than the image, steps that wrap unevenly, a step as
  // wide as the area, and flashing between moved frames.
  const Case cases[] = {
      {smRightToLeft, 3, QSize(wd / 2, hd + 2)},
      {smRightToLeft, 7, QSize(wd * 2 + 5, hd + 6)},
      {smLeftToRight, 3, QSize(wd + 11, hd + 2)},
      {smLeftToRight, 13, QSize(wd / 3, hd)},
      {smBottomToTop, 3, QSize(wd + 2, hd / 2)},
      {smTopToBottom, 4, QSize(wd / 2, hd * 3 + 1)},
      {smRightToLeft, wd / 4, QSize(wd / 4 + 2, hd + 2)},
      {smFlash, 3, QSize(wd + 2, hd + 2)},
  };
  for (const Case& c : cases) {
    led.SetScroll(false);
    led.resize(c.size);
    led.SetMoveStep(c.step);
    led.SetScrollMode(c.mode);
    led.SetScroll(true);
    QCoreApplication::processEvents();
    const int ticks = 2 * std::max(wd, hd) / c.step + 5;
    int onScreen = 0;
    for (int tick = 0; tick < ticks; ++tick) {
      led.TimerTick();
      onScreen += led.DrawsOnScreen();
      const QImage shown = screenFrame();
      ASSERT_EQ(shown, Frame(led)) << "mode " << c.mode << " step " << c.step << " tick " << tick;
    }
    // Under X the moves are the server's own copies, past the backing store.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && c.mode != smFlash) {
      EXPECT_GE(onScreen, ticks - 1) << "mode " << c.mode << " step " << c.step;
    }
  }
}

// A banner inside a window, partly under a sibling and running past the
// window's edge: the ticks change only the banner's own visible part.
TEST_F(RixLEDTest, TicksDrawOnlyWhereTheBannerIsSeen) {
  QWidget window;
  window.resize(300, 80);
  TRixLED led(&window);
  led.SetSpeed(1000000);
  led.SetText(QStringLiteral("Hi there"));
  led.setGeometry(20, 30, 400, 40);
  QWidget cover(&window);
  cover.setAutoFillBackground(true);
  QPalette red = cover.palette();
  red.setColor(QPalette::Window, Qt::red);
  cover.setPalette(red);
  cover.setGeometry(100, 20, 50, 30);
  cover.raise();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  led.SetScroll(true);
  QCoreApplication::processEvents();
  for (int tick = 0; tick < 40; ++tick) {
    led.TimerTick();
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(window.winId())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    QImage expected = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown, expected) << "tick " << tick;
    ASSERT_EQ(shown.pixel(120, 45), QColor(Qt::red).rgb());
  }

  // A window over the banner goes away: what it uncovers is the banner as
  // the last tick left it, not an older frame.
  QWidget over;
  over.setWindowFlags(Qt::FramelessWindowHint);
  over.setGeometry(window.geometry().left() + 30, window.geometry().top() + 35, 100, 30);
  over.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&over));
  over.hide();
  QTest::qWait(100);
  const QImage shown = QGuiApplication::primaryScreen()
                           ->grabWindow(window.winId())
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, window.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(RixLEDTest, FlashAlternatesUnlitAndImageWithOnePhaseForAllBanners) {
  TRixLED a;
  TRixLED b;
  for (TRixLED* led : {&a, &b}) {
    led->SetSpeed(1000000);
    led->SetText(QStringLiteral("Hi"));
    led->resize(led->DotImage().size() + QSize(2, 2));
    led->SetScrollMode(smFlash);
    led->SetScroll(true);
  }
  a.TimerTick();
  QImage f = Frame(a);
  EXPECT_FALSE(HasColour(f, kLit));
  // Unlit dots sit on the dot grid of the image; the gaps stay dark.
  EXPECT_EQ(f.pixel(2, 2), kUnlit.rgb());
  EXPECT_EQ(f.pixel(3, 3), kUnlit.rgb());
  EXPECT_EQ(f.pixel(4, 2), kBack.rgb());
  EXPECT_FALSE(TRixLED::FlashPhase);

  // The other banner's tick follows the shared phase: it shows the image.
  b.TimerTick();
  EXPECT_TRUE(HasColour(Frame(b), kLit));
  EXPECT_TRUE(TRixLED::FlashPhase);
  EXPECT_EQ(b.ScrollPos(), b.DotImage().width());

  a.TimerTick();
  EXPECT_FALSE(HasColour(Frame(a), kLit));
  a.TimerTick();
  EXPECT_TRUE(HasColour(Frame(a), kLit));
  // Flashing never steps the offset: the image stays where it was.
  EXPECT_EQ(a.ScrollPos(), a.DotImage().width());
}

TEST_F(RixLEDTest, DegenerateDotsDoNotBreakPaintingOrTicks) {
  TRixLED led;
  led.resize(50, 20);
  led.SetDotSize(0);
  led.SetDotSpace(0);
  EXPECT_TRUE(led.DotImage().isNull());
  led.SetDotSize(-4);
  led.SetScroll(true);
  for (TScrollMode m : {smLeftToRight, smRightToLeft, smTopToBottom, smBottomToTop, smFlash}) {
    led.SetScrollMode(m);
    led.TimerTick();
    led.TimerTick();
    Frame(led);
  }
  led.SetScroll(false);
  Frame(led);
}

TEST_F(RixLEDTest, ClickAndDoubleClickAreSignalled) {
  TRixLED led;
  led.show();
  QSignalSpy clicks(&led, &TRixLED::clicked);
  QSignalSpy doubles(&led, &TRixLED::doubleClicked);
  QTest::mouseClick(&led, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
  QTest::mouseClick(&led, Qt::RightButton);
  EXPECT_EQ(clicks.count(), 1);
  QTest::mouseDClick(&led, Qt::LeftButton);
  EXPECT_EQ(doubles.count(), 1);
  // Released outside the control: no click.
  QTest::mousePress(&led, Qt::LeftButton, {}, QPoint(1, 1));
  QTest::mouseRelease(&led, Qt::LeftButton, {}, QPoint(-5, -5));
  EXPECT_EQ(clicks.count(), 1);
}

}  // namespace
