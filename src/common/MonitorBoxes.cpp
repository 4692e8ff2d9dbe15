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

bool MonitorBoxes::enabled() const { return store_.isTicked(Ctl::Check1); }

void MonitorBoxes::copyFromLogger(const QString& text) {
    if (enabled())
        store_.setText(Ctl::Text1, limitLoggerMonitor(store_.text(Ctl::Text1) + text + QStringLiteral("\r\n")));
}

void MonitorBoxes::copyFromServer(const QString& chunk) {
    if (enabled())
        store_.setText(Ctl::Text5, limitTrafficMonitor(store_.text(Ctl::Text5) + chunk));
}

void MonitorBoxes::copySent(const QString& text) {
    if (enabled())
        store_.setText(Ctl::Text6, limitTrafficMonitor(store_.text(Ctl::Text6) + text + QStringLiteral("\r\n")));
}

void MonitorBoxes::clearAll() {
    store_.setText(Ctl::Text5, QString());
    store_.setText(Ctl::Text6, QString());
    store_.setText(Ctl::Text1, QString());
}
