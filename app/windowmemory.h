#pragma once

class QButtonGroup;
class QWidget;

// The main window as the user left it, kept in the user's settings across starts: size, position,
// maximised state and the page shown.
namespace WindowMemory {

// Puts the window back; false when nothing was remembered (the first start), and the window is left as is.
bool restore(QWidget *window, QButtonGroup *pageButtons);
void save(const QWidget *window, const QButtonGroup *pageButtons);

} // namespace WindowMemory
