#pragma once

#include "SerialBackend.h"

#include <QLockFile>
#include <QTimer>
#include <memory>

class QSocketNotifier;

// The program's own virtual null-modem: a pseudo-terminal whose far end the logger opens
// through a stable link in the port folder (for example .../zarnikcontrol/radio).
//
// The pair lives as long as the program, like a cable that stays plugged in: closing and
// reopening our end does not disturb a logger that holds its end open. What the logger
// does with its end shows on our input lines as on a null-modem cable: while it holds the
// port open, DSR, CD and CTS are high; when it closes, they drop. Bytes the logger sends
// while our end is closed are lost, and so is what we write while nobody listens.
class PtyBackend final : public SerialBackend {
    Q_OBJECT
public:
    // How often the far end is checked for being opened or closed.
    static constexpr int kPeerPollMs = 50;

    PtyBackend(QString folder, QString linkName, QObject* parent = nullptr);
    ~PtyBackend() override;

    // Makes the pair and publishes its link; safe to call again. False with errorString() set
    // when it cannot be done (for example another instance holds this port folder's link).
    bool create();
    QString linkPath() const;
    QString peerDevice() const { return peerDevice_; }
    bool peerPresent() const { return peerPresent_; }

    bool open(int baudRate) override;
    void close() override;
    bool isOpen() const override { return ourEndOpen_; }
    QString errorString() const override { return error_; }
    qint64 write(const QByteArray& bytes) override;
    qint64 bytesToWrite() const override { return pending_.size(); }
    void setDtr(bool) override {}
    void setRts(bool) override {}
    ModemLines lines() const override;
    QString location() const override { return linkPath(); }

    // Checks at once whether the far end was opened or closed (the timer does it regularly).
    void refreshPeer();

private:
    bool openMaster();
    bool publishLink();
    void onReadable();
    void flushPending();
    void fail(const QString& why);

    QString folder_;
    QString linkName_;
    QString peerDevice_;
    QString error_;
    int master_ = -1;
    bool ourEndOpen_ = false;
    bool peerPresent_ = false;
    QByteArray pending_;
    std::unique_ptr<QLockFile> lock_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QTimer peerPoll_;
};
