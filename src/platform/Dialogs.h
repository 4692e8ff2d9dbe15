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
};

// Remembers every message and question; answers questions from a list, then with a default.
class RecordingDialogs final : public Dialogs {
public:
    void showMessage(const QString& text, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;

    QStringList messages;
    QStringList questions;
    QList<bool> answers;
    bool defaultAnswer = false;
};

// For a program that runs with no window: messages go to standard error, questions are No.
class ConsoleDialogs final : public Dialogs {
public:
    void showMessage(const QString& text, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;
};
