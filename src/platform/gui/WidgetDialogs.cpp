#include "WidgetDialogs.h"

#include <QMessageBox>

void WidgetDialogs::showMessage(const QString& text, const QString& title) {
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
