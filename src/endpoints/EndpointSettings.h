#pragma once

#include <QString>

// The endpoints' settings and the CW hold-back, kept in a file of their own beside ZarnikControl.ini (whose lines
// stay as they are): "name=value" lines; a missing file or line leaves the default, and lines
// the program does not know are ignored.
struct EndpointSettings {
    static inline const QString kFileName = QStringLiteral("Endpoints.ini");

    bool cwDaemonOn = false;
    QString cwDaemonAddress = QStringLiteral("127.0.0.1:6789");
    bool rigctlOn = false;
    QString rigctlAddress = QStringLiteral("127.0.0.1:4532");
    bool spotsOn = false;
    QString spotsAddress = QStringLiteral("127.0.0.1:7300");
    bool cwHoldBack = false;
    QString cwLeadSeconds = QStringLiteral("2");

    static EndpointSettings read(const QString& path);
    // Replaces the file whole; false with the reason when it cannot be written.
    bool write(const QString& path, QString* why) const;
};
