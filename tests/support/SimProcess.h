#pragma once

// corvel-sim as a child process on a free loopback port, with its wire log in a file.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class SimProcess {
public:
    // On `port`, or a free one.
    explicit SimProcess(const QStringList& extra = {}, quint16 wanted = 0) {
        process.start(CORVEL_SIM_BINARY, QStringList{"--listen", QString("127.0.0.1:%1").arg(wanted),
                                                     "--log", logPath()} + extra);
        if (!process.waitForStarted(10000) || !process.waitForReadyRead(10000))
            return;
        const QByteArray line = process.readLine().trimmed();
        port = line.mid(line.lastIndexOf(':') + 1).toUShort();
    }
    ~SimProcess() {
        process.kill();
        process.waitForFinished(5000);
    }
    QString logPath() const { return folder.filePath("wire.log"); }
    // The lines the clients sent, without timestamps and client numbers.
    QStringList wireLines() const {
        QFile log(logPath());
        log.open(QIODevice::ReadOnly);
        QStringList lines;
        for (const QByteArray& raw : log.readAll().split('\n'))
            if (!raw.isEmpty())
                lines << QString::fromUtf8(raw).section(' ', 2);
        return lines;
    }
    void command(const QByteArray& line) {
        process.write(line + "\n");
        process.waitForBytesWritten(1000);
    }

    QTemporaryDir folder;
    QProcess process;
    quint16 port = 0;
};
