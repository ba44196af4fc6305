#pragma once

class QMenu;
class QWidget;

namespace rix {

// A popup menu's shortcuts work while its widget (or a child of it, such as
// an open cell editor) has the focus, and only then: the same key means
// different things on the tree, the grids and the documentation editor.
// Items of submenus are included. A menu may serve several widgets.
void AttachMenuShortcuts(QWidget* widget, QMenu* menu);
void DetachMenuShortcuts(QWidget* widget, QMenu* menu);

}  // namespace rix
