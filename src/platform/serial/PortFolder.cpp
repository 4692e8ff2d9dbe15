#include "PortFolder.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

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

bool ensure(const QString& folder, QString* why) {
    if (!QDir().mkpath(folder)) {
        if (why)
            *why = QStringLiteral("Cannot create the port folder %1").arg(folder);
        return false;
    }
    const bool chosenByUser = !qEnvironmentVariable("ZARNIKCONTROL_PORT_DIR").isEmpty();
    if (!chosenByUser)
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    return true;
}

} // namespace PortFolder
