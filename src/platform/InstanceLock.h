#pragma once

#include <QLockFile>
#include <QString>

// One running program per working folder: a second one would log in to the station again and
// write its settings over the first's. The lock is a file in the folder that names the process
// holding it; a lock left by a program that died is taken over.
class InstanceLock {
public:
    static inline const QString kFileName = QStringLiteral("ZarnikControl.lock");

    InstanceLock();
    // False when another running program holds the folder; `why` then says which and what to do.
    bool take(QString* why);

private:
    QLockFile lock_;
};
