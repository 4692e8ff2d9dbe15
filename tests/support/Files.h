#pragma once

// Files a test lays out before the program runs, or reads back whole afterwards.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>

inline bool writeFile(const QString& path, const QByteArray& bytes,
                      QIODevice::OpenMode mode = QIODevice::WriteOnly) {
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// While it lives, no file of this process may grow: writes fail as on a full disk (unlike a
// read-only folder, this stops root too).
class FullDisk {
public:
    FullDisk() {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &before_);
        const rlimit none{0, before_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() { ::setrlimit(RLIMIT_FSIZE, &before_); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit before_{};
};
