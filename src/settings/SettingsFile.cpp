#include "SettingsFile.h"

#include "common/WholeFile.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

namespace SettingsFile {
namespace {

FileError classic(QFileDevice::FileError error, const QString& path) {
    if (error == QFileDevice::PermissionsError)
        return {70, QStringLiteral("Permission denied"), {}, {}};
    if (error == QFileDevice::OpenError && !QFileInfo(path).absoluteDir().exists())
        return {76, QStringLiteral("Path not found"), {}, {}};
    if (error == QFileDevice::OpenError && !QFileInfo::exists(path))
        return {53, QStringLiteral("File not found"), {}, {}};
    if (error == QFileDevice::ResourceError)
        return {61, QStringLiteral("Disk full"), {}, {}};
    return {75, QStringLiteral("Path/File access error"), {}, {}};
}

FileError describe(QFileDevice::FileError error, const QString& path, const QString& reason) {
    FileError described = classic(error, path);
    described.path = QFileInfo(path).absoluteFilePath();
    described.reason = QFileInfo(path).isDir() ? QStringLiteral("it is a folder") : reason;
    return described;
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
                               path, file.errorString()));
        return std::nullopt;
    }
    return file.read(kMaxReadBytes);
}

bool writePrivately(const QString& path, const QByteArray& bytes, FileError* error) {
    const auto failure =
        WholeFile::replace(path, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (failure) {
        report(error, describe(failure->error, path, failure->text));
        return false;
    }
    return true;
}

QString unexpectedErrorText(const FileError& error) {
    QString text = QStringLiteral("Unexpected error. Err %1 : %2").arg(error.number).arg(error.text);
    if (!error.path.isEmpty())
        text += QStringLiteral(" (%1%2)").arg(error.path, error.reason.isEmpty() ? QString()
                                                                                  : ": " + error.reason);
    return text;
}

} // namespace SettingsFile
