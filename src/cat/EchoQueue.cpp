#include "EchoQueue.h"

quint64 EchoQueue::hold(const QString& echo, double due) {
    held_.push_back({due, echo});
    return next_++;
}

QStringList EchoQueue::takeDue(double now) {
    qsizetype count = 0;
    while (count < qsizetype(held_.size()) && held_[size_t(count)].due <= now)
        ++count;
    return takeFront(count);
}

QStringList EchoQueue::takeUpTo(quint64 ticket) {
    return takeFront(ticket < out_ ? 0 : qsizetype(ticket - out_ + 1));
}

QStringList EchoQueue::takeFront(qsizetype count) {
    QStringList taken;
    for (; count > 0 && !held_.empty(); --count) {
        taken << held_.front().text;
        held_.pop_front();
        ++out_;
    }
    return taken;
}
