#pragma once

#include <QList>

class QWidget;

// The Tab order of the main window, in reading order: the page buttons, the page shown (its toolbar, its
// list, its settings panel, then the panel's bottom buttons 重置设置 and the start button), and last the
// title bar's help buttons. A compound control (a spin box with its inner field) is one stop.
namespace FocusChain {

void order(const QList<QWidget *> &before, QWidget *page, const QList<QWidget *> &after);

} // namespace FocusChain
