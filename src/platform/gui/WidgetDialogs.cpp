#include "WidgetDialogs.h"

#include <QMessageBox>

void WidgetDialogs::showMessage(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool WidgetDialogs::askYesNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return box.exec() == QMessageBox::Yes;
}
