#pragma once

#include <QUrl>

// The help pages that ship with the program's data; both open in the default browser. Empty when the pages
// are missing (the miss is logged).
namespace HelpPages {

QUrl helpCentreUrl();
QUrl customerServiceUrl();

} // namespace HelpPages
