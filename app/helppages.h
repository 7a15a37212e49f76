#pragma once

#include <QUrl>

// The help pages that ship with the program's data; both open in the default browser. Empty when the pages
// are missing (the miss is logged).
namespace HelpPages {

QUrl helpCentreUrl();
QUrl customerServiceUrl();

// Open the page in the default browser; when there is none to open it, or the page is missing, the main
// window warns and gives the address, so the user can open it by hand.
void openHelpCentre();
void openCustomerService();

} // namespace HelpPages
