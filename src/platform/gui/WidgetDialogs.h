#pragma once

#include "platform/Dialogs.h"

#include <QPointer>
#include <QSet>
#include <QWidget>

// Message boxes and questions as real modal dialogs over a window. A message that is already
// on the screen is not opened a second time: a fault that repeats many times a second must
// not bury the operator under a stack of identical boxes.
class WidgetDialogs final : public Dialogs {
public:
    void setParentWindow(QWidget* window) { parent_ = window; }
    void showMessage(const QString& text, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;
    QString askText(const QString& prompt, const QString& defaultAnswer) override;

private:
    QPointer<QWidget> parent_;
    QSet<QString> open_;
};
