#pragma once

#include <QString>
#include <QStringList>

// The names in the two port lists and what they mean on Linux.
//
// Both lists keep the classic "COM1".."COM20" (the keyer list starts with "None"), then
// "Virtual" (the program's own virtual null-modem), then the serial devices found on the
// machine. A "COMn" name is looked up as a link named COMn in the port folder, so that the
// operator can point it anywhere; without such a link it is /dev/ttyS(n-1).
namespace PortNames {

inline const QString kNone = QStringLiteral("None");
inline const QString kVirtual = QStringLiteral("Virtual");
constexpr int kComPortCount = 20;
// Where "Virtual" stands in the keyer list ("None" is 0, "COM1" is 1).
constexpr int kKeyerVirtualIndex = kComPortCount + 1;

QStringList radioPortList(const QStringList& foundDevices);
QStringList keyerPortList(const QStringList& foundDevices);

// The port number of a "COMn" name: the number in the two characters from the fourth on
// ("COM12" gives 12, "COM3" gives 3); 0 when there is none.
int comNumber(const QString& name);

// The device a "COMn" name stands for.
QString devicePathForCom(int number, const QString& portFolder);

// Serial devices on this machine (/dev/ttyUSB0 ...), sorted; the legacy /dev/ttyS* ports are
// left out because the COMn names already reach them.
QStringList foundDevices();

} // namespace PortNames
