#pragma once

#include <QFile>
#include <QString>

// The program's log of rig power events and chat logins, "ZarnikControl.log". It is opened
// for appending at start-up (created when missing) and every line reaches the disk at once,
// so nothing is lost if the program is killed.
class LogFile {
public:
    static inline const QString kDefaultName = QStringLiteral("ZarnikControl.log");

    explicit LogFile(QString path = kDefaultName) : file_(path) {}

    bool open();
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    QString errorString() const { return file_.errorString(); }
    QString path() const { return file_.fileName(); }

    // Appends the line and CR LF; nothing happens while the file is closed.
    void writeLine(const QString& line);

private:
    QFile file_;
};
