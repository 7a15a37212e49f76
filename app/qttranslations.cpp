#include "qttranslations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace QtTranslations {

bool install(QCoreApplication *app, const QLocale &locale, const QString &folder)
{
    auto *translator = new QTranslator(app);
    // "qtbase" holds the texts of the widgets the program uses; Debian ships it in qttranslations5-l10n.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        qWarning("No Qt translation for %s in %s", qUtf8Printable(locale.name()), qUtf8Printable(folder));
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace QtTranslations
