#include "PtyBackend.h"

#include "PortFolder.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kReadChunk = 4096;
// What we hold for a logger that reads slowly; beyond it the write is refused.
constexpr qsizetype kMaxPending = 64 * 1024;
} // namespace

PtyBackend::PtyBackend(QString folder, QString linkName, QObject* parent)
    : SerialBackend(parent), folder_(std::move(folder)), linkName_(std::move(linkName)) {
    peerPoll_.setInterval(kPeerPollMs);
    connect(&peerPoll_, &QTimer::timeout, this, &PtyBackend::refreshPeer);
}

PtyBackend::~PtyBackend() {
    if (master_ < 0)
        return;
    const QByteArray link = QFile::encodeName(linkPath());
    char target[512] = {};
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    if (n > 0 && QFile::decodeName(QByteArray(target, n)) == peerDevice_)
        ::unlink(link.constData());
    ::close(master_);
}

QString PtyBackend::linkPath() const { return folder_ + u'/' + linkName_; }

bool PtyBackend::create() {
    if (master_ >= 0)
        return true;
    QString why;
    if (!PortFolder::ensure(folder_, &why)) {
        fail(why);
        return false;
    }
    lock_ = std::make_unique<QLockFile>(linkPath() + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0); // only a lock whose owner has ended is stale
    if (!lock_->tryLock(0)) {
        fail(QStringLiteral("The virtual port %1 is held by another running ZarnikControl")
                 .arg(linkPath()));
        lock_.reset();
        return false;
    }
    if (!openMaster() || !publishLink()) {
        lock_.reset();
        return false;
    }
    readNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PtyBackend::onReadable);
    writeNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PtyBackend::flushPending);
    refreshPeer();
    peerPoll_.start();
    return true;
}

bool PtyBackend::openMaster() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        fail(QStringLiteral("Cannot make a pseudo-terminal: %1").arg(strerror(errno)));
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
        return false;
    }
    char name[128] = {};
    ::ptsname_r(master_, name, sizeof name);
    peerDevice_ = QFile::decodeName(name);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);

    // Raw bytes both ways, as on a serial line; the logger may set its own modes later.
    termios tio{};
    if (::tcgetattr(master_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(master_, TCSANOW, &tio);
    }
    // The far end reports a hang-up only after it has been open once: open and close it so
    // that "nobody there" can be told from the start.
    const int peer = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (peer >= 0)
        ::close(peer);
    return true;
}

bool PtyBackend::publishLink() {
    const QByteArray link = QFile::encodeName(linkPath());
    const QByteArray temporary = link + ".new";
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(peerDevice_).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), link.constData()) != 0) {
        fail(QStringLiteral("Cannot publish the virtual port at %1: %2")
                 .arg(linkPath(), QString::fromLocal8Bit(strerror(errno))));
        ::close(master_);
        master_ = -1;
        return false;
    }
    return true;
}

bool PtyBackend::open(int) {
    if (!create())
        return false;
    // What the logger sent while our end was closed went nowhere on a real cable either.
    char discard[kReadChunk];
    while (peerPresent_ && ::read(master_, discard, sizeof discard) > 0) {
    }
    ourEndOpen_ = true;
    pending_.clear();
    return true;
}

void PtyBackend::close() {
    ourEndOpen_ = false;
    pending_.clear();
    if (writeNotifier_)
        writeNotifier_->setEnabled(false);
}

ModemLines PtyBackend::lines() const {
    // The logger's DTR and RTS come up when it opens the port; the cable crosses them to
    // our DSR, CD and CTS.
    return ModemLines{peerPresent_, peerPresent_, peerPresent_, false};
}

void PtyBackend::refreshPeer() {
    if (master_ < 0)
        return;
    pollfd check{master_, POLLIN, 0};
    ::poll(&check, 1, 0);
    const bool present = (check.revents & POLLHUP) == 0;
    // While nobody is there the master reads as "hung up" all the time; stop listening.
    readNotifier_->setEnabled(present);
    if (present == peerPresent_)
        return;
    peerPresent_ = present;
    if (!present)
        pending_.clear();
    if (ourEndOpen_)
        emit linesChanged();
}

void PtyBackend::onReadable() {
    char buffer[kReadChunk];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) {
        if (n < 0 && errno == EAGAIN)
            return;
        refreshPeer(); // EIO: the logger closed its end
        return;
    }
    if (!peerPresent_)
        refreshPeer();
    if (ourEndOpen_)
        emit dataArrived(QByteArray(buffer, n));
}

qint64 PtyBackend::write(const QByteArray& bytes) {
    if (!ourEndOpen_)
        return 0;
    if (!peerPresent_)
        return bytes.size(); // nobody on the line: the bytes go nowhere, as on a cable
    if (pending_.size() + bytes.size() > kMaxPending)
        return 0;
    pending_.append(bytes);
    flushPending();
    return bytes.size();
}

void PtyBackend::flushPending() {
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), pending_.size());
        if (n < 0 && errno != EAGAIN) {
            pending_.clear(); // the logger went away in the middle
            refreshPeer();
        }
        if (n <= 0)
            break;
        pending_.remove(0, n);
    }
    writeNotifier_->setEnabled(!pending_.isEmpty() && peerPresent_);
}

void PtyBackend::fail(const QString& why) { error_ = why; }
