#include "SettingsFile.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace SettingsFile {
namespace {

FileError describe(QFileDevice::FileError error, const QString& path) {
    if (error == QFileDevice::PermissionsError)
        return {70, QStringLiteral("Permission denied")};
    if (error == QFileDevice::OpenError && !QFileInfo(path).absoluteDir().exists())
        return {76, QStringLiteral("Path not found")};
    if (error == QFileDevice::OpenError && !QFileInfo::exists(path))
        return {53, QStringLiteral("File not found")};
    if (error == QFileDevice::ResourceError)
        return {61, QStringLiteral("Disk full")};
    return {75, QStringLiteral("Path/File access error")};
}

void report(FileError* out, const FileError& error) {
    if (out)
        *out = error;
}

} // namespace

std::optional<QByteArray> read(const QString& path, FileError* error) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        report(error, describe(QFileInfo(path).isDir() ? QFileDevice::OpenError : file.error(),
                               path));
        return std::nullopt;
    }
    return file.read(kMaxReadBytes);
}

bool writePrivately(const QString& path, const QByteArray& bytes, FileError* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        report(error, describe(file.error(), path));
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        report(error, describe(file.error(), path));
        file.cancelWriting();
        return false;
    }
    return true;
}

QString unexpectedErrorText(const FileError& error) {
    return QStringLiteral("Unexpected error. Err %1 : %2").arg(error.number).arg(error.text);
}

} // namespace SettingsFile
