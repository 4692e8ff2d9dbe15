#pragma once

#include <QString>

class ControlStore;
class Dialogs;
class FileDialogs;

// The main settings file at start-up and shut-down, and the File menu's "Load" and "Save".
// `iniFileName` is the settings file in use; "Load" and "Save" replace it.
class SettingsCommands {
public:
    static inline const QString kDefaultFile = QStringLiteral("ZarnikControl.ini");

    SettingsCommands(ControlStore& store, QString& iniFileName, Dialogs& dialogs,
                     FileDialogs& fileDialogs);

    // Reads the settings file in use when it exists; a missing file is no error.
    void readAtStartup();
    // Writes all lines, only when the file in use is exactly the default file.
    // Writes ZarnikControl.ini when it is the file in use; false with the reason (naming the
    // file) when it could not be written. Never asks or shows anything.
    bool writeAtShutdown(QString* why);
    void load();
    void save();

private:
    void readLines(const QString& path, int maxLines);

    ControlStore& store_;
    QString& iniFileName_;
    Dialogs& dialogs_;
    FileDialogs& fileDialogs_;
};
