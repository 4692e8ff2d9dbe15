#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// A file replaced whole: the bytes go to a new file that takes the old one's place only once
// every byte is written, so a crash or a full disk leaves the old file as it was.
namespace WholeFile {

struct Failure {
    QFileDevice::FileError error;
    QString text;
};

// Empty when the file was replaced; `permissions` (when given) are the new file's.
std::optional<Failure> replace(const QString& path, const QByteArray& bytes,
                               QFileDevice::Permissions permissions = {});

} // namespace WholeFile
