#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace rix {

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace rix
