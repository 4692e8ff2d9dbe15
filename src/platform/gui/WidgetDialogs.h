#pragma once

#include "platform/Dialogs.h"

#include <QPointer>
#include <QWidget>

// Message boxes and questions as real modal dialogs over a window.
class WidgetDialogs final : public Dialogs {
public:
    void setParentWindow(QWidget* window) { parent_ = window; }
    void showMessage(const QString& text, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;

private:
    QPointer<QWidget> parent_;
};
