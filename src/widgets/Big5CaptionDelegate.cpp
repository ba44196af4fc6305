#include "widgets/Big5CaptionDelegate.h"

#include <QLineEdit>

#include "platform/Big5.h"

namespace rix {

Big5CaptionDelegate::Big5CaptionDelegate(int bytesRole, QObject* parent)
    : QStyledItemDelegate(parent), bytesRole_(bytesRole) {}

void Big5CaptionDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
  const auto* line = qobject_cast<QLineEdit*>(editor);
  if (!line) {
    QStyledItemDelegate::setModelData(editor, model, index);
    return;
  }
  const QString text = line->text();
  if (text == index.data(Qt::DisplayRole).toString()) return;
  const QByteArray bytes = Big5Encode(text);
  model->setData(index, bytes, bytesRole_);
  model->setData(index, Big5Decode(bytes), Qt::EditRole);
}

}  // namespace rix
