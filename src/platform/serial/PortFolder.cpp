#include "PortFolder.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace PortFolder {

QString path() {
    const QString chosen = qEnvironmentVariable("ZARNIKCONTROL_PORT_DIR");
    if (!chosen.isEmpty())
        return QDir::cleanPath(chosen);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir::cleanPath(runtime + QStringLiteral("/zarnikcontrol"));
    return QDir::homePath() + QStringLiteral("/.local/state/zarnikcontrol/ports");
}

namespace {

bool refuse(QString* why, const QString& text) {
    if (why)
        *why = text;
    return false;
}

} // namespace

bool ensure(const QString& folder, QString* why) {
    const QByteArray native = QFile::encodeName(folder);
    if (!QFileInfo::exists(folder)) {
        // Made private from the start; the folders above it are the user's own business.
        if (!QDir().mkpath(folder))
            return refuse(why, QStringLiteral("Cannot create the port folder %1").arg(folder));
        ::chmod(native.constData(), 0700);
    }
    return isSafe(folder, why);
}

// Whoever may write into the folder may swap the radio link for a terminal of their own and
// key the transmitter, so a folder that is not the user's own alone is refused, as ssh
// refuses a key file that others may write.
bool isSafe(const QString& folder, QString* why) {
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return refuse(why, QStringLiteral("The port folder %1 is not a folder").arg(folder));
    if (info.st_uid != ::getuid())
        return refuse(why, QStringLiteral("The port folder %1 belongs to another user; it must be "
                                          "yours alone").arg(folder));
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return refuse(why, QStringLiteral("Others can write into the port folder %1 (mode %2); "
                                          "make it yours alone: chmod 700 %1")
                               .arg(folder)
                               .arg(info.st_mode & 0777, 3, 8, QChar(u'0')));
    return true;
}

} // namespace PortFolder
