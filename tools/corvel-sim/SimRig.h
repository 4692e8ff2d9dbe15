#pragma once

#include <QString>
#include <QStringList>

// The transceiver the simulated station server stands next to.
class SimRig {
public:
    qint64 vfoA = 14025000; // Hz
    qint64 vfoB = 14025000;
    int mode = 3; // 1 LSB, 2 USB, 3 CW, 4 FM, 5 AM, 6 RTTY, 7 CWR
    bool ritOn = false;
    bool xitOn = false;
    int clarifierHz = 0;
    bool powerOn = true;
    bool transmitting = false;

    // Applies one command line from a client ("A0:FA14074000;", "FA14074000;", "A0:MD02;" ...).
    // Returns the reports every client is sent, empty when the rig did not change.
    QStringList apply(const QString& line);

    QString vfoReport(char vfo) const; // FA + 11 digits + ;
    QString modeReport() const;        // MD0d;
    QString statusReport() const;      // IF + 11 digits + offset + RIT + XIT + mode + ...;
    QString offsetField() const;       // +0000

private:
    QStringList setVfo(qint64& vfo, char name, const QString& digits);
    QStringList setFlag(bool& flag, const QString& mnemonic, QChar value);
};
