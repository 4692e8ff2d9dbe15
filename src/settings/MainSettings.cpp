#include "MainSettings.h"

#include "common/NumericText.h"

#include <QStringDecoder>
#include <variant>

namespace SettingsLines {
namespace {

using Field = std::variant<QString MainSettings::*, int MainSettings::*>;

const Field kLineOrder[kAllLines] = {
    &MainSettings::radioPort,     &MainSettings::frequencyKhz,   &MainSettings::serverAddress,
    &MainSettings::serverPort,    &MainSettings::loginCallsign,  &MainSettings::loginPassword,
    &MainSettings::modeIndex,     &MainSettings::keyerPortIndex, &MainSettings::sideToneOn,
    &MainSettings::sideTonePitch, &MainSettings::cwSpeed,        &MainSettings::sideToneVolume,
    &MainSettings::guardTime,     &MainSettings::guardOn,        &MainSettings::inactivityTime,
    &MainSettings::inactivityOn,  &MainSettings::rttyKeyingOn,   &MainSettings::chatServerOn,
    &MainSettings::chatPort,
};

// Text as written by this program (UTF-8), or by an older one in a single-byte code page.
QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

// The longest value taken, counted in characters (not bytes: a value written back as UTF-8
// must read the same again), never splitting a character that takes two code units.
QString clip(QString text) {
    if (text.size() <= kMaxLineLength)
        return text;
    const bool splitsPair = text.at(kMaxLineLength - 1).isHighSurrogate();
    text.truncate(splitsPair ? kMaxLineLength - 1 : kMaxLineLength);
    return text;
}

// Cuts the next line out of `content` from `pos`; false at the end of the content.
bool nextLine(const QByteArray& content, qsizetype& pos, QByteArray& line) {
    if (pos >= content.size())
        return false;
    qsizetype end = pos;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n')
        ++end;
    // Up to the longest line taken in characters; 4 bytes a character is the most UTF-8 needs.
    line = content.mid(pos, qMin<qsizetype>(end - pos, 4 * kMaxLineLength));
    pos = end;
    if (pos < content.size() && content[pos] == '\r')
        ++pos;
    if (pos < content.size() && content[pos] == '\n')
        ++pos;
    return true;
}

void store(MainSettings& settings, const Field& field, const QString& text) {
    if (auto textField = std::get_if<QString MainSettings::*>(&field))
        settings.*(*textField) = text;
    else
        settings.*std::get<int MainSettings::*>(field) = NumericText::integerValue(text);
}

QString show(const MainSettings& settings, const Field& field) {
    if (auto textField = std::get_if<QString MainSettings::*>(&field))
        return settings.*(*textField);
    return NumericText::integerLine(settings.*std::get<int MainSettings::*>(field));
}

} // namespace

int read(const QByteArray& content, MainSettings& settings, int maxLines) {
    qsizetype pos = 0;
    QByteArray line;
    int count = 0;
    while (count < qMin(maxLines, kAllLines) && nextLine(content, pos, line)) {
        store(settings, kLineOrder[count], clip(decode(line)));
        ++count;
    }
    return count;
}

QByteArray write(const MainSettings& settings, int lineCount) {
    QByteArray out;
    for (int i = 0; i < qMin(lineCount, kAllLines); ++i)
        out += show(settings, kLineOrder[i]).toUtf8() + "\r\n";
    return out;
}

} // namespace SettingsLines
