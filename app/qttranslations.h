#pragma once

#include <QLibraryInfo>
#include <QLocale>
#include <QString>

class QCoreApplication;

// Qt's own texts (file dialogs, message boxes, the context menus of text fields) in the user's language.
namespace QtTranslations {

// Installs Qt's translations for locale from folder into app. False, leaving Qt's built-in English texts,
// when the folder has none for that language.
bool install(QCoreApplication *app, const QLocale &locale,
             const QString &folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath));

} // namespace QtTranslations
