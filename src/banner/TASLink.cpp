#include "banner/TASLink.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <iterator>

#include "banner/LinkAccessible.h"

TASLink::TASLink(QWidget* parent) : QLabel(parent) {
  static const bool described = (QAccessible::installFactory(&LinkAccessible::Create), true);
  Q_UNUSED(described);
  setAutoFillBackground(false);
  setAttribute(Qt::WA_Hover);
  setCursor(Qt::PointingHandCursor);
  opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QString TASLink::URLPrefix(TURLType type) {
  static const char* const kPrefixes[] = {"file://", "ftp://", "gopher://", "http://", "https://",
                                          "mailto:", "news:",  "telnet:",   "wais:"};
  const int i = static_cast<int>(type);
  if (i < 0 || i >= static_cast<int>(std::size(kPrefixes))) return {};
  return QString::fromLatin1(kPrefixes[i]);
}

void TASLink::SetLinkColor(const QColor& value) {
  if (linkColor_ == value) return;
  linkColor_ = value;
  if (hovered_) update();
}

QString TASLink::Address() const { return urlTypeAdd_ ? URLPrefix(urlType_) + text() : text(); }

void TASLink::LinkClick() {
  if (text().isEmpty() || !urlEnabled_) return;
  if (opener_) opener_(QUrl(Address(), QUrl::TolerantMode));
  update();
}

void TASLink::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  const QRect r = contentsRect();
  const int flags =
      QStyle::visualAlignment(layoutDirection(), alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
  p.setPen(palette().color(QPalette::Light));
  p.drawText(r.translated(-1, -1), flags, text());
  p.setPen(hovered_ ? linkColor_ : palette().color(foregroundRole()));
  p.drawText(r, flags, text());
}

void TASLink::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QLabel::enterEvent(event);
}

void TASLink::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QLabel::leaveEvent(event);
}

void TASLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void TASLink::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      event->button() == Qt::LeftButton && pressed_ && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) LinkClick();
}

void TASLink::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click does not open the address again.
  pressed_ = false;
  event->accept();
}
