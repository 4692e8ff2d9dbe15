#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

class QObject;
// Shows the message once the handler that has it has finished: a box opened inside a port,
// link or timer handler would hold that handler up for as long as the box is open.
void showMessageLater(Dialogs& dialogs, QObject* context, const QString& text);
