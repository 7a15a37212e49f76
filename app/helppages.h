#pragma once

#include <QUrl>

// The help pages that ship in the program's folder; both open in the default browser.
namespace HelpPages {

QUrl helpCentreUrl();
QUrl customerServiceUrl();

} // namespace HelpPages
