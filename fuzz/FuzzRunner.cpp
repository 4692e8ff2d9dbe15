// The plain runner a fuzz target becomes without libFuzzer: it replays every file it is given
// (or every file in a folder it is given) through the target, so the corpus is a test.
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int replayed = 0;
    auto replay = [&replayed](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        ++replayed;
    };
    // Every path is found before the first replay: a target may change the current folder.
    QStringList paths;
    for (const QString& argument : app.arguments().mid(1)) {
        if (QFileInfo(argument).isDir()) {
            QDirIterator files(QFileInfo(argument).absoluteFilePath(), QDir::Files,
                               QDirIterator::Subdirectories);
            while (files.hasNext())
                paths << files.next();
        } else {
            paths << QFileInfo(argument).absoluteFilePath();
        }
    }
    for (const QString& path : paths)
        replay(path);
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
