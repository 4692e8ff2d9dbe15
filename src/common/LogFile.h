#pragma once

#include <QFile>
#include <QString>

// The program's log of rig power events and chat logins, "ZarnikControl.log". It is opened
// for appending at start-up (created when missing) and every line reaches the disk at once,
// so nothing is lost if the program is killed. It never grows past its cap: the log is then
// moved to "ZarnikControl.log.1" (replacing the one before) and a new one begun, so the
// newest lines are always kept and the disk never fills.
class LogFile {
public:
    static inline const QString kDefaultName = QStringLiteral("ZarnikControl.log");
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    explicit LogFile(QString path = kDefaultName, qint64 maxBytes = kMaxBytes)
        : file_(path), maxBytes_(maxBytes) {}

    bool open();
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    QString errorString() const { return file_.errorString(); }
    QString path() const { return file_.fileName(); }

    // Appends the line and CR LF; nothing happens while the file is closed.
    void writeLine(const QString& line);

private:
    void rotate();

    QFile file_;
    qint64 maxBytes_;
};
