#include "listsorter.h"

#include <QLocale>
#include <QObject>
#include <QVariant>

namespace {
const char kDirectionProperty[] = "comper";
}

QCollator ListSorter::collator()
{
    QCollator c(QLocale(QLocale::Chinese, QLocale::AnyCountry));
    c.setCaseSensitivity(Qt::CaseSensitive);
    c.setIgnorePunctuation(false);
    c.setNumericMode(true);
    return c;
}

bool ListSorter::takeDescending(QObject *header)
{
    const bool descending = header->property(kDirectionProperty).toBool();
    header->setProperty(kDirectionProperty, !descending);
    return descending;
}
