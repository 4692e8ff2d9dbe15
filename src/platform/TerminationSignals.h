#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in the terminal, `kill`) into a Qt
// signal on the event loop, so that the program ends through its normal shut-down and the
// settings are written as on "Exit".
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};
