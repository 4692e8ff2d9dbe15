#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The terminal's settings file MMVARI.POS: one value per line, lines ending CR LF. This is
// only the file; which line means what is the terminal's business.
namespace MmvariPos {

inline const QString kFileName = QStringLiteral("MMVARI.POS");
constexpr int kLines = 46;

// The lines of the file, each taken whole (without its line end); nullopt when there is no
// such file or it cannot be read. A file that ends early gives fewer lines.
std::optional<QStringList> read(const QString& path);

// Writes the lines to a new file beside the old one and then puts it in its place, so that
// a crash or a full disk never leaves half a file behind. False with the reason on failure.
bool write(const QString& path, const QStringList& lines, QString* why = nullptr);

// How the program writes a Boolean, and how the reader's lines turn into one.
inline QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
// A line "converts to True" the way the classic conversion does: "True" in any case, or a
// number other than 0.
bool convertsToTrue(const QString& line);

} // namespace MmvariPos
