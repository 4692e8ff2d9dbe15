#pragma once

#include <QHash>
#include <QMetaObject>
#include <QString>

class ControlStore;

// What the program believes about the remote rig, and about the logger on the radio port.
// Every logger command pass reads it afresh. The frequency and the mode are shown in the
// main window's frequency box and mode list, which mirror them; what the operator types or
// chooses there (or the settings file puts there) comes back through the store's change.
class StationPicture {
public:
    static inline const QString kDefaultClarifierOffset = QStringLiteral("-0000");

    explicit StationPicture(ControlStore& store);
    ~StationPicture();
    StationPicture(const StationPicture&) = delete;
    StationPicture& operator=(const StationPicture&) = delete;

    QString startFreq() const;           // kHz as text, as the frequency box shows it
    void setStartFreq(const QString& kHz);
    // The frequency to the hertz: the box shows 10 Hz steps, but a logger reads back what it
    // set and what the station reports. Typing into the box makes the box's value the one.
    qint64 frequencyHz() const;
    void setFrequencyHz(qint64 hz);
    // The frequency as the logger's records carry it: 11 digits in Hz.
    QString frequencyField() const;
    int modeIndex() const;               // 0 LSB .. 6 CWR, -1 for none
    void setModeIndex(int index);
    int modeDigit() const { return modeIndex() + 1; }

    QString clarifierOffset() const { return clarifierOffset_; }
    // Always five characters, sign and four digits, so the status record keeps its length.
    void setClarifierOffset(const QString& offset);

    // The logger set this mode: the station's next mode report confirms it, or tells of
    // another one. A confirmation tells the logger nothing new and is not pushed to it.
    void expectModeConfirmation(int modeDigit) { modeToConfirm_ = modeDigit; }
    // True when the station's mode report `modeDigit` only confirms the logger's setting.
    bool takeModeConfirmation(int modeDigit);

    // Follows the key-down and key-up messages the program sends to the station.
    void noteServerLine(const QString& line);

    int ritOn = 0;
    int xitOn = 0;
    bool loggerOnline = false;
    bool transmitting = false;
    bool powerOn = true;
    QString pendingFreqCommand;
    // The rig's settings the station reports nothing of, as the logger set them (read ->
    // answer); the rest answer as the rig at rest.
    QHash<QString, QString> restingSettings;

private:
    void takeFromStore(const QString& name);

    ControlStore& store_;
    QMetaObject::Connection storeWatch_;
    QString shownKHz_; // the frequency as the box shows it (kHz, as typed or set)
    int modeIndex_ = -1;
    QString clarifierOffset_ = kDefaultClarifierOffset;
    qint64 exactHz_ = -1;
    QString exactBoxText_; // the box text that exactHz_ belongs to
    int modeToConfirm_ = 0;
};
