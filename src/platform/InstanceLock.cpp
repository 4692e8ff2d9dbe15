#include "InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <limits>

InstanceLock::InstanceLock() : lock_(QDir::current().filePath(kFileName)) {
    lock_.setStaleLockTime(0); // only a dead process's lock is stale, however old a live one is
}

// The holder must be a live process on this computer whose name is this program's: Qt keeps a
// lock it cannot read, or one naming process 0, for ever.
bool InstanceLock::heldByARunningProgramOfOurs(qint64* pid) {
    QString host, application;
    if (!lock_.getLockInfo(pid, &host, &application) || *pid <= 0 || *pid > std::numeric_limits<pid_t>::max())
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return false;
    if (::kill(pid_t(*pid), 0) != 0 && errno != EPERM)
        return false;
    auto nameOf = [](const QString& process) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(process));
        return comm.open(QIODevice::ReadOnly) ? comm.read(64).trimmed() : QByteArray();
    };
    const QByteArray holder = nameOf(QString::number(*pid));
    return holder.isEmpty() || holder == nameOf(QStringLiteral("self"));
}

bool InstanceLock::take(QString* why) {
    if (lock_.tryLock(0))
        return true;
    qint64 pid = 0;
    if (lock_.error() == QLockFile::LockFailedError && !heldByARunningProgramOfOurs(&pid)) {
        lock_.removeStaleLockFile();
        if (lock_.tryLock(0)) {
            note_ = QStringLiteral("The lock file %1 named no running ZarnikControl (process %2): taken over")
                        .arg(kFileName)
                        .arg(pid);
            return true;
        }
    }
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
