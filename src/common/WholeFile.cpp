#include "WholeFile.h"

#include <QSaveFile>

namespace WholeFile {

std::optional<Failure> replace(const QString& path, const QByteArray& bytes,
                               QFileDevice::Permissions permissions) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{file.error(), file.errorString()};
    if (permissions)
        file.setPermissions(permissions);
    // The bytes wait in the file's buffer: a full disk shows only when they are flushed, and
    // commit() would then put an empty file in place of the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        const Failure failure{file.error(), file.errorString()};
        file.cancelWriting();
        return failure;
    }
    return std::nullopt;
}

} // namespace WholeFile
