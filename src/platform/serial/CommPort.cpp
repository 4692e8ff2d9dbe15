#include "CommPort.h"

#include "SerialBackend.h"

CommPort::CommPort(BackendProvider& provider, PortRole role, QObject* parent)
    : QObject(parent), provider_(provider), role_(role) {}

CommPort::~CommPort() { close(); }

bool CommPort::open() {
    close();
    error_.clear();
    SerialBackend* backend = provider_.backendFor(portName_, role_, &error_);
    if (!backend)
        return false;
    if (!backend->open(baudRate_)) {
        error_ = backend->errorString();
        return false;
    }
    backend_ = backend;
    connect(backend, &SerialBackend::dataArrived, this, &CommPort::onDataArrived);
    connect(backend, &SerialBackend::linesChanged, this, &CommPort::onLinesChanged);
    connect(backend, &SerialBackend::errorEvent, this, &CommPort::onBackendError);
    ++session_;
    input_.clear();
    overflowReported_ = false;
    lines_ = backend->lines();
    dtr_ = rts_ = false;
    return true;
}

void CommPort::close() {
    if (!backend_)
        return;
    SerialBackend* backend = backend_;
    ++session_;
    detachBackend();
    backend->close();
    input_.clear();
    lines_ = {};
    dtr_ = rts_ = false;
}

void CommPort::detachBackend() {
    disconnect(backend_, nullptr, this, nullptr);
    backend_ = nullptr;
}

bool CommPort::isOpen() const { return backend_ && backend_->isOpen(); }

QString CommPort::location() const { return backend_ ? backend_->location() : QString(); }

QByteArray CommPort::readOne() {
    if (input_.isEmpty())
        return {};
    const QByteArray one = input_.left(1);
    input_.remove(0, 1);
    if (input_.isEmpty())
        overflowReported_ = false;
    return one;
}

int CommPort::discardInput() {
    const int count = inBufferCount();
    input_.clear();
    overflowReported_ = false;
    return count;
}

void CommPort::write(const QByteArray& bytes) {
    if (!isOpen() || bytes.isEmpty())
        return;
    if (outBufferCount() + bytes.size() > outBufferSize_) {
        emit commEvent(CommEvent::TxFull);
        return;
    }
    backend_->write(bytes);
}

int CommPort::outBufferCount() const {
    return isOpen() ? static_cast<int>(backend_->bytesToWrite()) : 0;
}

void CommPort::setDtr(bool raised) {
    if (!isOpen())
        return;
    dtr_ = raised;
    backend_->setDtr(raised);
}

void CommPort::setRts(bool raised) {
    if (!isOpen())
        return;
    rts_ = raised;
    backend_->setRts(raised);
}

void CommPort::onDataArrived(const QByteArray& bytes) {
    qsizetype room = kInBufferSize - input_.size();
    bool dropped = false;
    for (char byte : bytes) {
        if (discardNull_ && byte == '\0')
            continue;
        if (room <= 0) {
            dropped = true;
            ++dropped_;
            continue;
        }
        input_.append(byte);
        --room;
    }
    if (dropped && !overflowReported_) {
        overflowReported_ = true;
        emit commEvent(CommEvent::RxOverflow);
    }
    if (!input_.isEmpty())
        emit commEvent(CommEvent::Receive);
}

void CommPort::onLinesChanged() {
    if (!backend_)
        return;
    const ModemLines before = lines_;
    const ModemLines now = backend_->lines();
    lines_ = now;
    // A handler may close or reopen the port; later changes of this batch then no longer apply.
    const quint64 session = session_;
    auto still = [&] { return session_ == session; };
    if (now.cts != before.cts && still())
        emit commEvent(CommEvent::CtsChange);
    if (now.dsr != before.dsr && still())
        emit commEvent(CommEvent::DsrChange);
    if (now.cd != before.cd && still())
        emit commEvent(CommEvent::CdChange);
    if (now.ring != before.ring && still())
        emit commEvent(CommEvent::Ring);
}

void CommPort::onBackendError(CommEvent event) { emit commEvent(event); }
