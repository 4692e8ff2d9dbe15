#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace WorkingFolder {

QString userFolder() {
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Only an absolute $XDG_CONFIG_HOME counts (the XDG base-directory rules); else the default.
    if (!config.isEmpty() && QDir::isAbsolutePath(config))
        return QDir::cleanPath(config + QStringLiteral("/zarnikcontrol"));
    return QDir::homePath() + QStringLiteral("/.config/zarnikcontrol");
}

bool enter(const QString& folder, QString* why) {
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
    if (!QFileInfo::exists(path)) {
        // The settings hold the station's password: the folder is the user's alone.
        if (!QDir().mkpath(path)) {
            *why = QStringLiteral("cannot create the folder %1").arg(path);
            return false;
        }
        ::chmod(QFile::encodeName(path).constData(), 0700);
    }
    if (!QFileInfo(path).isDir()) {
        *why = QStringLiteral("%1 is not a folder").arg(path);
        return false;
    }
    if (!QDir::setCurrent(path)) {
        *why = QStringLiteral("cannot work in the folder %1 (%2)").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace WorkingFolder
