#include "InstanceLock.h"

#include <QDir>

InstanceLock::InstanceLock() : lock_(QDir::current().filePath(kFileName)) {
    lock_.setStaleLockTime(0); // only a dead process's lock is stale, however old a live one is
}

bool InstanceLock::take(QString* why) {
    if (lock_.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host, application;
    lock_.getLockInfo(&pid, &host, &application);
    if (lock_.error() == QLockFile::LockFailedError) {
        *why = QStringLiteral("ZarnikControl is already running in %1 (process %2). A second one would "
                              "log in to the station again and write over its settings. Close the other "
                              "one, or start this one in a folder of its own (--folder DIR).")
                   .arg(QDir::currentPath())
                   .arg(pid);
    } else {
        *why = QStringLiteral("Cannot make the lock file %1 in %2: check that the folder may be "
                              "written.")
                   .arg(kFileName, QDir::currentPath());
    }
    return false;
}
