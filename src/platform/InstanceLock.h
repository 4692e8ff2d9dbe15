#pragma once

#include <QLockFile>
#include <QString>

// One running program per working folder: a second one would log in to the station again and
// write its settings over the first's. The lock is a file in the folder that names the process
// holding it; a lock whose holder is not a running ZarnikControl (a program that died, a file
// left empty, junk, process 0) is taken over.
class InstanceLock {
public:
    static inline const QString kFileName = QStringLiteral("ZarnikControl.lock");

    InstanceLock();
    // False when another running program holds the folder; `why` then says which and what to do.
    bool take(QString* why);
    // What taking the lock had to say (a lock taken over), for the log; empty when nothing.
    const QString& note() const { return note_; }

private:
    bool heldByARunningProgramOfOurs(qint64* pid);

    QLockFile lock_;
    QString note_;
};
