#pragma once

// Files a test lays out before the program runs, or reads back whole afterwards.
#include <QByteArray>
#include <QFile>
#include <QString>

inline bool writeFile(const QString& path, const QByteArray& bytes,
                      QIODevice::OpenMode mode = QIODevice::WriteOnly) {
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
