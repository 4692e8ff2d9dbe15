#include "WidgetFileDialogs.h"

#include <QFileDialog>

QString WidgetFileDialogs::qtFilter(const QString& classicFilter) {
    const QStringList parts = classicFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        filters << (description.contains(pattern) ? description
                                                  : description + QStringLiteral(" (") + pattern + u')');
    }
    if (filters.isEmpty())
        return classicFilter;
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> WidgetFileDialogs::chooseFileToOpen(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, QString(), request.startFolder, qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!request.presetName.isEmpty())
        dialog.selectFile(request.presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> WidgetFileDialogs::chooseFileToSave(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, QString(), request.startFolder, qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!request.presetName.isEmpty())
        dialog.selectFile(request.presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
