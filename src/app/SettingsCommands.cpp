#include "SettingsCommands.h"

#include "SettingsBinding.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/serial/PortNames.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"

#include <QFileInfo>

SettingsCommands::SettingsCommands(ControlStore& store, QString& iniFileName, Dialogs& dialogs,
                                   FileDialogs& fileDialogs)
    : store_(store), iniFileName_(iniFileName), dialogs_(dialogs), fileDialogs_(fileDialogs) {}

void SettingsCommands::readAtStartup() {
    if (QFileInfo(iniFileName_).isFile()) {
        readLines(iniFileName_, SettingsLines::kAllLines);
        return;
    }
    // A first start: the program's own virtual ports are what a newcomer can use at once.
    store_.selectItem(Ctl::radioPortChoice, PortNames::kVirtual);
    store_.selectItem(Ctl::keyerPortChoice, PortNames::kVirtual);
}

bool SettingsCommands::writeAtShutdown(QString* why) {
    if (iniFileName_ != kDefaultFile)
        return true;
    const QByteArray lines = SettingsLines::write(SettingsBinding::fromControls(store_));
    SettingsFile::FileError error;
    if (SettingsFile::writePrivately(kDefaultFile, lines, &error))
        return true;
    // The program is ending, perhaps at a station no one watches: no box to wait on.
    *why = SettingsFile::unexpectedErrorText(error);
    return false;
}

void SettingsCommands::load() {
    const auto chosen = fileDialogs_.chooseFileToOpen(
        {QStringLiteral("INI_Files (*.ini)|*.ini"), QStringLiteral("./"), QString()});
    if (!chosen)
        return;
    iniFileName_ = *chosen;
    if (QFileInfo::exists(iniFileName_))
        readLines(iniFileName_, SettingsLines::kSavedLines);
}

void SettingsCommands::save() {
    const auto chosen = fileDialogs_.chooseFileToSave(
        {QStringLiteral("INI_fILES (*.ini)|*.ini"), QString(), iniFileName_});
    if (!chosen)
        return;
    iniFileName_ = *chosen;
    if (!iniFileName_.contains(QStringLiteral("ini")))
        return;
    const QByteArray lines = SettingsLines::write(SettingsBinding::fromControls(store_),
                                                  SettingsLines::kSavedLines);
    SettingsFile::FileError error;
    if (!SettingsFile::writePrivately(iniFileName_, lines, &error))
        dialogs_.showMessage(SettingsFile::unexpectedErrorText(error));
}

void SettingsCommands::readLines(const QString& path, int maxLines) {
    SettingsFile::FileError error;
    const auto content = SettingsFile::read(path, &error);
    if (!content) {
        dialogs_.showMessage(SettingsFile::unexpectedErrorText(error));
        return;
    }
    MainSettings settings = SettingsBinding::fromControls(store_);
    SettingsLines::read(*content, settings, maxLines);
    SettingsBinding::applyToControls(settings, store_);
}
