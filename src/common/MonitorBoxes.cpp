#include "MonitorBoxes.h"

#include "ControlStore.h"
#include "Controls.h"

QString MonitorBoxes::limitLoggerMonitor(const QString& text) {
    return text.size() > kLoggerMonitorLimit ? QString() : text;
}

QString MonitorBoxes::limitTrafficMonitor(const QString& text) {
    if (text.size() <= kTrafficMonitorLimit)
        return text;
    return text.mid(kTrafficMonitorKeepFrom - 1);
}

bool MonitorBoxes::enabled() const {
    return store_.isTicked(Ctl::monitorDataCheck);
}

void MonitorBoxes::copyFromLogger(const QString& text) {
    if (enabled())
        store_.setText(Ctl::fromLoggerMonitor,
                       limitLoggerMonitor(store_.text(Ctl::fromLoggerMonitor) + text +
                                          QStringLiteral("\r\n")));
}

void MonitorBoxes::copyFromServer(const QString& chunk) {
    if (enabled())
        store_.setText(Ctl::fromServerMonitor,
                       limitTrafficMonitor(store_.text(Ctl::fromServerMonitor) + chunk));
}

void MonitorBoxes::copySent(const QString& text) {
    if (enabled())
        store_.setText(Ctl::outgoingMonitor, limitTrafficMonitor(store_.text(Ctl::outgoingMonitor) +
                                                                 text + QStringLiteral("\r\n")));
}

void MonitorBoxes::clearAll() {
    store_.setText(Ctl::fromServerMonitor, QString());
    store_.setText(Ctl::outgoingMonitor, QString());
    store_.setText(Ctl::fromLoggerMonitor, QString());
}
