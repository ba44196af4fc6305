#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>

#include "TestSupport.h"
#include "banner/TASLink.h"
#include "banner/WebLink.h"

namespace {

const QString kNone = QStringLiteral("沒有");

struct Recorder {
  QList<QUrl> opened;
  TASLink::Opener opener() {
    return [this](const QUrl& u) {
      opened.append(u);
      return false;  // a refusal must go unnoticed
    };
  }
};

TEST(WebLinkTest, CaptionRunsFromTheEighthByteToTheSecondLast) {
  using rix::WebLinkFor;
  // An address ending in "/" loses the slash; one ending in a letter loses it.
  EXPECT_EQ(WebLinkFor("http://www.emu.org/").caption, QStringLiteral("www.emu.org"));
  EXPECT_EQ(WebLinkFor("http://www.emu.org").caption, QStringLiteral("www.emu.or"));
  EXPECT_TRUE(WebLinkFor("http://www.emu.org/").enabled);
  // Text before the prefix still counts from the start of the whole cell.
  const rix::WebLinkState blank = WebLinkFor(" http://emu.org/");
  EXPECT_TRUE(blank.enabled);
  EXPECT_EQ(blank.caption, QStringLiteral("/emu.org"));
  // The prefix alone gives an empty caption.
  EXPECT_EQ(WebLinkFor("http://").caption, QString());
  EXPECT_TRUE(WebLinkFor("http://").enabled);
  // Big5 text in the address is decoded for display.
  EXPECT_EQ(WebLinkFor("http://" + rixtest::Big5(QStringLiteral("模擬器")) + "/").caption,
            QStringLiteral("模擬器"));
}

TEST(WebLinkTest, NoAddressMeansNone) {
  for (const QByteArray& cell : {QByteArray(), QByteArray("www.emu.org"),
                                 QByteArray("HTTP://emu.org/"), QByteArray("https://emu.org/")}) {
    const rix::WebLinkState s = rix::WebLinkFor(cell);
    EXPECT_EQ(s.caption, kNone) << cell.constData();
    EXPECT_FALSE(s.enabled) << cell.constData();
  }
}

TEST(WebLinkTest, AClickOpensTheAddressUnlessSwitchedOff) {
  TASLink link;
  link.resize(150, 13);
  link.show();
  Recorder rec;
  link.SetOpener(rec.opener());
  rix::SetWebLink(&link, "http://www.emu.org/");
  EXPECT_EQ(link.text(), QStringLiteral("www.emu.org"));
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_EQ(rec.opened.size(), 1);
  EXPECT_EQ(rec.opened[0], QUrl(QStringLiteral("http://www.emu.org")));

  // A double click opens it once, not twice.
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseDClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(rec.opened.size(), 2);

  // Switching to an emulator without an address turns the link off.
  rix::SetWebLink(&link, "");
  EXPECT_EQ(link.text(), kNone);
  EXPECT_FALSE(link.URLEnabled());
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(rec.opened.size(), 2);

  // An empty caption opens nothing even when enabled.
  rix::SetWebLink(&link, "http://");
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(rec.opened.size(), 2);

  // A press that ends outside the link is not a click.
  rix::SetWebLink(&link, "http://a.org/");
  QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(400, 5));
  EXPECT_EQ(rec.opened.size(), 2);
}

TEST(WebLinkTest, PrefixesFollowTheTypeOrder) {
  EXPECT_EQ(TASLink::URLPrefix(utFile), QStringLiteral("file://"));
  EXPECT_EQ(TASLink::URLPrefix(utHttp), QStringLiteral("http://"));
  EXPECT_EQ(TASLink::URLPrefix(utWais), QStringLiteral("wais:"));
  TASLink link;
  link.setText(QStringLiteral("a.org"));
  EXPECT_EQ(link.Address(), QStringLiteral("http://a.org"));
  link.SetURLTypeAdd(false);
  EXPECT_EQ(link.Address(), QStringLiteral("a.org"));
}

TEST(WebLinkTest, HoverTurnsTheCaptionBlueAndLeavingTurnsItBack) {
  TASLink link;
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(12);
  link.setFont(f);
  link.setText(QStringLiteral("www.emu.org"));
  link.resize(120, 16);
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  auto hasBlue = [&] {
    const QImage img = link.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) == qRgb(0, 0, 255)) return true;
    return false;
  };
  EXPECT_FALSE(hasBlue());
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(&link, &enter);
  EXPECT_TRUE(link.Hovered());
  EXPECT_TRUE(hasBlue());
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&link, &leave);
  EXPECT_FALSE(link.Hovered());
  EXPECT_FALSE(hasBlue());
}

}  // namespace
