#pragma once

#include <QProxyStyle>

namespace rix {

// The desktop's style, except that the arrows of a toolbar too short for its
// buttons are read as PNG pictures straight away. The style itself would open
// them through a reader that first asks every installed picture plugin, and
// each toolbar asks for them when it is made, so that every start loaded all
// the plugins before the window could show. The pictures are the same ones.
class ExtensionIconStyle : public QProxyStyle {
  Q_OBJECT

public:
  ExtensionIconStyle();

  QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace rix
