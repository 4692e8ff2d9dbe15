#include "PortNames.h"

#include "common/NumericText.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace PortNames {
namespace {
QStringList comNames() {
    QStringList names;
    for (int n = 1; n <= kComPortCount; ++n)
        names << QStringLiteral("COM%1").arg(n);
    return names;
}
} // namespace

QStringList radioPortList(const QStringList& devices) {
    return comNames() << kVirtual << devices;
}

QStringList keyerPortList(const QStringList& devices) {
    return QStringList{kNone} << comNames() << kVirtual << devices;
}

int comNumber(const QString& name) {
    if (!name.startsWith(QStringLiteral("COM")))
        return 0;
    return NumericText::integerValue(name.mid(3, 2));
}

QString devicePathForCom(int number, const QString& portFolder) {
    const QString link = portFolder + QStringLiteral("/COM%1").arg(number);
    if (!portFolder.isEmpty() && QFileInfo(link).isSymLink())
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

QStringList foundDevices() {
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        if (!path.startsWith(QStringLiteral("/dev/ttyS")))
            devices << path;
    }
    devices.sort();
    return devices;
}

} // namespace PortNames
