#pragma once

#include <QSplitter>

namespace rix {

// A splitter whose handle can be seen: a raised bar with a grip in its
// middle. The style's own handle of a few pixels was all but invisible
// between the left column and the tabs.
class GripSplitter : public QSplitter {
  Q_OBJECT

public:
  explicit GripSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
  QSplitterHandle* createHandle() override;
};

}  // namespace rix
