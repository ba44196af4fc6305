#include "banner/WebLink.h"

#include <algorithm>

#include "banner/TASLink.h"
#include "platform/Big5.h"

namespace rix {

WebLinkState WebLinkFor(const QByteArray& cell) {
  if (!cell.contains("http://")) return {QStringLiteral("沒有"), false};
  // The caption is counted in bytes from the 8th to the second-last, whatever
  // stands before "http://": the scheme prefix is added back by the link, and
  // the last byte (usually a closing "/") is left out.
  const qsizetype n = std::max<qsizetype>(0, cell.size() - 8);
  return {Big5Decode(QByteArrayView(cell).sliced(std::min<qsizetype>(7, cell.size()), n)), true};
}

void SetWebLink(TASLink* link, const QByteArray& cell) {
  if (!link) return;
  const WebLinkState state = WebLinkFor(cell);
  link->setText(state.caption);
  link->SetURLEnabled(state.enabled);
}

}  // namespace rix
