#include "Dialogs.h"

#include <QTimer>

#include <cstdio>

void RecordingDialogs::showMessage(const QString& text, const QString&) { messages.append(text); }

bool RecordingDialogs::askYesNo(const QString& text, const QString&) {
    questions.append(text);
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

QString RecordingDialogs::askText(const QString& prompt, const QString& defaultAnswer) {
    questions.append(prompt);
    return textAnswers.isEmpty() ? defaultAnswer : textAnswers.takeFirst();
}

void ConsoleDialogs::showMessage(const QString& text, const QString& title) {
    const QString line = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

bool ConsoleDialogs::askYesNo(const QString& text, const QString& title) {
    showMessage(text + QStringLiteral(" (answered No: no window to ask in)"), title);
    return false;
}

QString ConsoleDialogs::askText(const QString& prompt, const QString& defaultAnswer) {
    showMessage(prompt + QStringLiteral(" (kept as it was: no window to ask in)"));
    return defaultAnswer;
}

void UnattendedDialogs::showMessage(const QString& text, const QString& title) {
    const QString line = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
    if (log) {
        log(line);
        return;
    }
    std::fprintf(stderr, "zarnikcontrol: %s\n", qPrintable(line));
    std::fflush(stderr);
}

bool UnattendedDialogs::askYesNo(const QString& text, const QString& title) {
    showMessage(text + QStringLiteral(" - answered Yes: unattended, the station keeps running"), title);
    return true;
}

QString UnattendedDialogs::askText(const QString& prompt, const QString& defaultAnswer) {
    showMessage(prompt + QStringLiteral(" - kept as it was: unattended"));
    return defaultAnswer;
}

void showMessageLater(Dialogs& dialogs, QObject* context, const QString& text) {
    QTimer::singleShot(0, context, [&dialogs, text] { dialogs.showMessage(text); });
}
