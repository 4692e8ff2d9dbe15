#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Message boxes and Yes/No questions. The windows show real dialogs; tests use the
// recorder; a run without windows writes them to standard error.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A plain message with an OK button. An empty title leaves the box without one.
    virtual void showMessage(const QString& text, const QString& title = {}) = 0;
    // A Yes/No question; true only for Yes.
    virtual bool askYesNo(const QString& text, const QString& title = {}) = 0;
    // An input box with a prompt and a default answer; cancelling gives an empty answer.
    virtual QString askText(const QString& prompt, const QString& defaultAnswer) = 0;
};

// Remembers every message and question; answers questions from a list, then with a default.
class RecordingDialogs final : public Dialogs {
public:
    void showMessage(const QString& text, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;
    QString askText(const QString& prompt, const QString& defaultAnswer) override;

    QStringList messages;
    QStringList questions;
    QList<bool> answers;
    QStringList textAnswers; // taken in turn; when none is left the default answer is given
    bool defaultAnswer = false;
};

// For a program that runs with no window: messages go to standard error, questions are No.
class ConsoleDialogs final : public Dialogs {
public:
    void showMessage(const QString& text, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;
    QString askText(const QString& prompt, const QString& defaultAnswer) override;
};

// For a station no one watches: a message goes to `log` (the program's log and standard
// error), or to standard error alone while `log` is unset; a question takes the answer that keeps the
// station running, Yes (every question the program asks is whether to go on anyway); an
// input box keeps its default.
class UnattendedDialogs final : public Dialogs {
public:
    void showMessage(const QString& text, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;
    QString askText(const QString& prompt, const QString& defaultAnswer) override;

    std::function<void(const QString&)> log; // unset until the log is open
};

class QObject;
// Shows the message once the handler that has it has finished: a box opened inside a port,
// link or timer handler would hold that handler up for as long as the box is open.
void showMessageLater(Dialogs& dialogs, QObject* context, const QString& text);
