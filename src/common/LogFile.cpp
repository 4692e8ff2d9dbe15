#include "LogFile.h"

bool LogFile::open() {
    if (file_.isOpen())
        return true;
    return file_.open(QIODevice::WriteOnly | QIODevice::Append);
}

void LogFile::writeLine(const QString& line) {
    if (!file_.isOpen())
        return;
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (file_.size() + bytes.size() > maxBytes_)
        rotate();
    file_.write(bytes.left(int(maxBytes_)));
    file_.flush();
}

void LogFile::rotate() {
    const QString path = file_.fileName();
    file_.close();
    QFile::remove(path + QStringLiteral(".1"));
    QFile::rename(path, path + QStringLiteral(".1"));
    file_.open(QIODevice::WriteOnly | QIODevice::Append);
}
