#include "randomstring.h"

#include <QRandomGenerator>

namespace {

const QString &randomPool(int rule)
{
    static const QString pools[] = {
        QStringLiteral("0123456789"),
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
    };
    return pools[rule];
}

} // namespace

QString randomString(int length, int rule)
{
    if (length <= 0)
        return QString();
    if (rule < 0 || rule >= randomPoolCount) {
        qWarning("randomString: unknown character pool %d", rule);
        return QString();
    }
    const QString &pool = randomPool(rule);
    QRandomGenerator *generator = QRandomGenerator::global();
    QString result(length, Qt::Uninitialized);
    for (QChar &c : result)
        c = pool.at(int(generator->bounded(quint32(pool.size()))));
    return result;
}
