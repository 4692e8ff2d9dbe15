#pragma once

#include "platform/FileDialogs.h"

#include <QPointer>
#include <QWidget>

// Open and save dialogs through QFileDialog.
class WidgetFileDialogs final : public FileDialogs {
public:
    void setParentWindow(QWidget* window) { parent_ = window; }
    std::optional<QString> chooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<QString> chooseFileToSave(const FileDialogRequest& request) override;

    // "INI_Files (*.ini)|*.ini" becomes "INI_Files (*.ini)"; a description without its
    // pattern gets the pattern added.
    static QString qtFilter(const QString& classicFilter);

private:
    QPointer<QWidget> parent_;
};
