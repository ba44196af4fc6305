#pragma once

#include <QColor>
#include <QLabel>
#include <QUrl>
#include <functional>

enum TURLType { utFile, utFtp, utGopher, utHttp, utHttps, utMailto, utNews, utTelnet, utWais };

// A hyperlink label: transparent, drawn with a light one-pixel shadow up and to
// the left of the caption, in LinkColor while the mouse is over it. A click
// hands the prefixed caption to the desktop's open action.
class TASLink : public QLabel {
  Q_OBJECT

public:
  using Opener = std::function<bool(const QUrl&)>;

  explicit TASLink(QWidget* parent = nullptr);

  static QString URLPrefix(TURLType type);

  TURLType URLType() const { return urlType_; }
  void SetURLType(TURLType value) { urlType_ = value; }
  bool URLTypeAdd() const { return urlTypeAdd_; }
  void SetURLTypeAdd(bool value) { urlTypeAdd_ = value; }
  bool URLEnabled() const { return urlEnabled_; }
  void SetURLEnabled(bool value) { urlEnabled_ = value; }
  QColor LinkColor() const { return linkColor_; }
  void SetLinkColor(const QColor& value);
  bool Hovered() const { return hovered_; }

  // The address a click opens.
  QString Address() const;
  // What a click does; refusals of the desktop are not reported.
  void LinkClick();
  // Replaces the desktop's open action (tests record the address instead).
  void SetOpener(Opener opener) { opener_ = std::move(opener); }

protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  TURLType urlType_ = utHttp;
  bool urlTypeAdd_ = true;
  bool urlEnabled_ = true;
  QColor linkColor_ = QColor(0, 0, 255);
  bool hovered_ = false;
  bool pressed_ = false;
  Opener opener_;
};
