#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading and writing the program's small settings files safely.
namespace SettingsFile {

// A failed file operation, numbered as the classic runtime numbered it, so the operator
// sees the familiar "Unexpected error. Err 75 : Path/File access error".
struct FileError {
    int number = 0;
    QString text;
    QString path;   // the file it concerns
    QString reason; // the system's own words
};

// No settings file of ours is anywhere near this; a larger file is read only this far.
constexpr qint64 kMaxReadBytes = 64 * 1024;

// The start of the file, or an error.
std::optional<QByteArray> read(const QString& path, FileError* error = nullptr);

// Writes the whole file or nothing: the bytes go to a file beside it, which then replaces
// it, so a crash in the middle never leaves half a file. The file is readable and writable
// by its owner only, since it may hold the station password.
bool writePrivately(const QString& path, const QByteArray& bytes, FileError* error = nullptr);

// "Unexpected error. Err <n> : <text>", then the file and the system's reason when known.
QString unexpectedErrorText(const FileError& error);

} // namespace SettingsFile
