#include "EndpointSettings.h"

#include "common/WholeFile.h"

#include <QFile>

namespace {
constexpr qint64 kMaxFileBytes = 64 * 1024; // a few short lines; anything larger is not ours
constexpr int kMaxValue = 200;

bool isOn(const QString& value) { return value.trimmed() == QStringLiteral("on"); }
} // namespace

EndpointSettings EndpointSettings::read(const QString& path) {
    EndpointSettings settings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    for (const QByteArray& raw : file.read(kMaxFileBytes).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString name = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed().left(kMaxValue);
        if (name == QStringLiteral("cwdaemon"))
            settings.cwDaemonOn = isOn(value);
        else if (name == QStringLiteral("cwdaemon-address"))
            settings.cwDaemonAddress = value;
        else if (name == QStringLiteral("rigctl"))
            settings.rigctlOn = isOn(value);
        else if (name == QStringLiteral("rigctl-address"))
            settings.rigctlAddress = value;
        else if (name == QStringLiteral("spots"))
            settings.spotsOn = isOn(value);
        else if (name == QStringLiteral("spots-address"))
            settings.spotsAddress = value;
        else if (name == QStringLiteral("cw-hold-back"))
            settings.cwHoldBack = isOn(value);
        else if (name == QStringLiteral("cw-lead-seconds"))
            settings.cwLeadSeconds = value;
    }
    return settings;
}

bool EndpointSettings::write(const QString& path, QString* why) const {
    auto onOff = [](bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); };
    const QString text = QStringLiteral("cwdaemon=%1\ncwdaemon-address=%2\nrigctl=%3\nrigctl-address=%4\n"
                                        "cw-hold-back=%5\ncw-lead-seconds=%6\nspots=%7\nspots-address=%8\n")
                             .arg(onOff(cwDaemonOn), cwDaemonAddress, onOff(rigctlOn), rigctlAddress,
                                  onOff(cwHoldBack), cwLeadSeconds, onOff(spotsOn), spotsAddress);
    const auto failure = WholeFile::replace(path, text.toUtf8());
    if (failure && why)
        *why = failure->text;
    return !failure;
}
