#pragma once

#include <QByteArray>
#include <QString>

class TASLink;

namespace rix {

struct WebLinkState {
  QString caption;
  bool enabled = false;
};

// What the web link shows for an emulator-table web-address cell (Big5 bytes).
WebLinkState WebLinkFor(const QByteArray& cell);

// Sets the link's caption and whether a click opens it.
void SetWebLink(TASLink* link, const QByteArray& cell);

}  // namespace rix
