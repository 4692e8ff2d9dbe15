#include "FileDialogs.h"

std::optional<QString> ScriptedFileDialogs::chooseFileToOpen(const FileDialogRequest& request) {
    return next(request);
}

std::optional<QString> ScriptedFileDialogs::chooseFileToSave(const FileDialogRequest& request) {
    return next(request);
}

std::optional<QString> ScriptedFileDialogs::next(const FileDialogRequest& request) {
    requests.append(request);
    if (answers.isEmpty())
        return std::nullopt;
    return answers.takeFirst();
}
