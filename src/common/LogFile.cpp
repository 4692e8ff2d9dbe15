#include "LogFile.h"

bool LogFile::open() {
    if (file_.isOpen())
        return true;
    return file_.open(QIODevice::WriteOnly | QIODevice::Append);
}

void LogFile::writeLine(const QString& line) {
    if (!file_.isOpen())
        return;
    file_.write(line.toUtf8() + "\r\n");
    file_.flush();
}
