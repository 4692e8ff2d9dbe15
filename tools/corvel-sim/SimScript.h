#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class SimServer;

// The simulator's commands, one per line, from standard input or a script file.
class SimScript final : public QObject {
    Q_OBJECT
public:
    explicit SimScript(SimServer& server, QObject* parent = nullptr);

    // Runs the lines in order; "wait MS" pauses between them.
    void runLines(const QStringList& lines);
    // Runs one command; false (with `why`) for a command it does not know.
    bool run(const QString& line, QString* why = nullptr);

    static QString help();

signals:
    void quitRequested();

private:
    void runNext();

    SimServer& server_;
    QStringList queue_;
    QTimer pause_;
};
