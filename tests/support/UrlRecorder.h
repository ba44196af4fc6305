#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace rixtest {

// While it lives, takes the addresses that the desktop's open action is given
// for its schemes, instead of the system.
class UrlRecorder : public QObject {
  Q_OBJECT

public:
  explicit UrlRecorder(const QStringList& schemes = {"http", "https", "mailto", "ftp"})
      : schemes_(schemes) {
    for (const QString& s : schemes_) QDesktopServices::setUrlHandler(s, this, "open");
  }
  ~UrlRecorder() override {
    for (const QString& s : schemes_) QDesktopServices::unsetUrlHandler(s);
  }

  QList<QUrl> opened;

public slots:
  void open(const QUrl& url) { opened << url; }

private:
  QStringList schemes_;
};

}  // namespace rixtest
