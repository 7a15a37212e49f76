#pragma once

#include <QString>

// The folder the program's file and folder dialogs open in, and its default output folder: the user's
// desktop, or the home folder where there is no desktop folder (a dialog must never propose a file
// named "Desktop").
QString defaultUserFolder();
