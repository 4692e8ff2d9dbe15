#pragma once

#include <QByteArray>
#include <QtEndian>

// The 44-byte header of a 16-bit PCM mono WAV file holding `frames` samples.
inline QByteArray wavHeader16Mono(int sampleRate, qint64 frames) {
    const auto dataBytes = static_cast<quint32>(frames * 2);
    QByteArray out("RIFF");
    char word[4];
    auto put32 = [&](quint32 v) { qToLittleEndian(v, word); out.append(word, 4); };
    auto put16 = [&](quint16 v) { qToLittleEndian(v, word); out.append(word, 2); };
    put32(36 + dataBytes);
    out += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(static_cast<quint32>(sampleRate));
    put32(static_cast<quint32>(sampleRate * 2));
    put16(2);
    put16(16);
    out += "data";
    put32(dataBytes);
    return out;
}
