#pragma once

#include <QStyledItemDelegate>

namespace rix {

// Commits an in-place edit as Big5 bytes in a data role of its own; the shown
// text is the decoding of those bytes, so a character without a Big5 code
// shows as the "?" it was stored as. An edit that leaves the text as it was
// keeps the stored bytes untouched.
class Big5CaptionDelegate : public QStyledItemDelegate {
public:
  Big5CaptionDelegate(int bytesRole, QObject* parent = nullptr);

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

private:
  int bytesRole_;
};

}  // namespace rix
