#pragma once

#include <QList>
#include <QString>
#include <optional>

// What an open or save dialog is asked to show. The filter uses the classic
// "Description (*.ext)|*.ext" form; the adapter turns it into its own.
struct FileDialogRequest {
    QString filter;
    QString startFolder;
    QString presetName;
};

// Open and save dialogs. Cancelling gives no file name.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> chooseFileToOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> chooseFileToSave(const FileDialogRequest& request) = 0;
};

// Answers dialogs from a queue (an empty optional is a cancel) and remembers the requests.
class ScriptedFileDialogs final : public FileDialogs {
public:
    std::optional<QString> chooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<QString> chooseFileToSave(const FileDialogRequest& request) override;

    QList<std::optional<QString>> answers;
    QList<FileDialogRequest> requests;

private:
    std::optional<QString> next(const FileDialogRequest& request);
};
