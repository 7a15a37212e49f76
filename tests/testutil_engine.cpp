#include "testutil_engine.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace EngineTest {

WarningListener::WarningListener(const QVector<int> *reportedRows) : m_reportedRows(reportedRows)
{
    CNvGlobalObserver::instance()->addObserver(Channel::MessageErrorTip, Channel::NoName, this, OBSERVER_SLOT);
}

WarningListener::~WarningListener()
{
    CNvGlobalObserver::instance()->removeObserver(Channel::MessageErrorTip, Channel::NoName, this);
}

void WarningListener::onPropertyValueChanged(const QString &, const QString &, const QVariant &value)
{
    messages.append(value.toString());
    rowsReportedAtMessage.append(m_reportedRows ? m_reportedRows->size() : 0);
}

#ifdef Q_OS_LINUX
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}
#endif

} // namespace EngineTest
