#include "WidgetDialogs.h"

#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>

void WidgetDialogs::showMessage(const QString& text, const QString& title) {
    // Also said on standard error, for a station where no one reads the screen.
    std::fprintf(stderr, "zarnikcontrol: %s\n", qPrintable(text));
    if (open_.contains(text))
        return;
    open_.insert(text);
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
    box.exec();
    open_.remove(text);
}

bool WidgetDialogs::askYesNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetDialogs::askText(const QString& prompt, const QString& defaultAnswer) {
    QInputDialog box(parent_);
    box.setLabelText(prompt);
    box.setTextValue(defaultAnswer);
    box.setWindowTitle(QString());
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}
