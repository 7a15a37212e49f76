#pragma once

class QWidget;

// Shows or hides a widget as QWidget::setVisible does, but leaves alone a widget that already is as asked:
// showing a widget that was never hidden lays it out at once, which, before the window is shown, measures
// every widget inside it unstyled, for nothing.
void setShown(QWidget *widget, bool shown);
