#pragma once

#include <QString>

// The rig a Hamlib network client sees: the program's one station picture, read and set
// through the same rules as the radio port.
class RigctlRig {
public:
    virtual ~RigctlRig() = default;
    virtual qint64 frequencyHz() const = 0;
    // False when the station cannot be told this frequency (nothing changes then).
    virtual bool setFrequencyHz(qint64 hz) = 0;
    // The highest frequency a set can carry to the station.
    virtual qint64 highestFrequencyHz() const = 0;
    virtual int modeDigit() const = 0; // 1 LSB, 2 USB, 3 CW, 4 FM, 5 AM, 6 RTTY, 7 CWR
    virtual void setModeDigit(int digit) = 0;
    virtual bool transmitting() const = 0;
    virtual void setTransmitting(bool on) = 0;
    virtual void sendMorse(const QString& text) = 0;
    virtual void stopMorse() = 0;
    virtual int keySpeed() const = 0;
    virtual void setKeySpeed(int wordsPerMinute) = 0;
};
