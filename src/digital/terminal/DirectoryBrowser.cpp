#include "DirectoryBrowser.h"

#include <QDir>
#include <QStorageInfo>

DirectoryBrowser::DirectoryBrowser(QString startFolder)
    : folder_(QDir(startFolder).absolutePath()) {}

QStringList DirectoryBrowser::drives() {
    QStringList roots;
    for (const QFileInfo& root : QDir::drives())
        roots << root.absoluteFilePath();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    return roots;
}

QString DirectoryBrowser::driveOf(const QString& folder, const QStringList& drives) {
    QString best;
    for (const QString& drive : drives) {
        const QString prefix = drive.endsWith(u'/') ? drive : drive + u'/';
        if ((folder == drive || folder.startsWith(prefix)) && drive.size() > best.size())
            best = drive;
    }
    return best;
}

bool DirectoryBrowser::setFolder(const QString& folder) {
    QDir dir(folder_);
    if (!dir.cd(folder) || !dir.isReadable())
        return false;
    folder_ = dir.absolutePath();
    return true;
}

QStringList DirectoryBrowser::subFolders() const {
    QDir dir(folder_);
    QStringList names =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    if (!dir.isRoot())
        names.prepend(QStringLiteral(".."));
    return names;
}

void DirectoryBrowser::setPattern(const QString& pattern) {
    pattern_ = pattern.trimmed();
}

QStringList DirectoryBrowser::files() const {
    QDir dir(folder_);
    const QStringList filters = pattern_.isEmpty() ? QStringList{QStringLiteral("*")}
                                                   : pattern_.split(u';', Qt::SkipEmptyParts);
    dir.setNameFilters(filters);
    // Without QDir::CaseSensitive the name filters ignore case: "*.txt" lists NOTES.TXT too.
    return dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}
