#include "app/AppCore.h"
#include "app/CommandLineOptions.h"
#include "app/MainWindow.h"
#include "app/UnattendedStation.h"
#include "common/Version.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/TerminationSignals.h"
#include "platform/WorkingFolder.h"
#include "platform/gui/WidgetDialogs.h"
#include "platform/gui/WidgetFileDialogs.h"
#include "platform/serial/PortFolder.h"
#include "platform/serial/SystemBackendProvider.h"
#include "platform/sound/AudioSinkToneOutput.h"
#include "platform/sound/PulseDuplex.h"
#include "platform/sound/WavFileToneOutput.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kTerminationDeadlineMs = 5000;

QStringList rawArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Settles --help, --version and a command line we cannot use; -1 when the program runs.
int answerCommandLine(const CommandLineOptions& options) {
    if (options.showHelp) {
        std::printf("%s", qPrintable(CommandLineOptions::usage()));
        return 0;
    }
    if (options.showVersion) {
        std::printf("%s\n", qPrintable(CommandLineOptions::versionText()));
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "zarnikcontrol: %s\n\n%s", qPrintable(options.error),
                     qPrintable(CommandLineOptions::usage()));
        return 2;
    }
    return -1;
}

// A termination signal ends the program whatever it is in the middle of, even with a box
// open that no one at an unattended station will ever click.
void endOnTermination(TerminationSignals& termination, AppCore& core) {
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &core, [&core] {
        QTimer::singleShot(kTerminationDeadlineMs, [] {
            std::fprintf(stderr, "zarnikcontrol: did not finish ending in time; ending now\n");
            std::fflush(nullptr);
            ::_exit(0);
        });
        core.exitProgram();
        for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i)
            QApplication::activeModalWidget()->close();
    });
}

// The chat server may hold 500 stations, the ports and sound their own descriptors: the
// usual soft limit of 1024 is too close for that, so take what the system allows.
void raiseOpenFileLimit() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version answer without a display, so they are settled before Qt starts.
    const QString userFolder = WorkingFolder::userFolder();
    const CommandLineOptions early = CommandLineOptions::parse(rawArguments(argc, argv), userFolder);
    if (early.showHelp || early.showVersion)
        return answerCommandLine(early);

    raiseOpenFileLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZarnikControl"));
    QApplication::setApplicationVersion(QStringLiteral(ZARNIKCONTROL_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    // The menu entry and icon the package installs (none when run from the build folder).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zarnikcontrol.ZarnikControl"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zarnikcontrol")));

    // Qt has taken its own options (-platform ...) out of the list by now.
    const CommandLineOptions options = CommandLineOptions::parse(app.arguments().mid(1), userFolder);
    if (const int exitCode = answerCommandLine(options); exitCode >= 0)
        return exitCode;
    if (QString why; !options.folder.isEmpty() && !WorkingFolder::enter(options.folder, &why)) {
        std::fprintf(stderr, "zarnikcontrol: %s\n", qPrintable(why));
        return 1;
    }

    InstanceLock instanceLock;
    if (QString why; !instanceLock.take(&why)) {
        std::fprintf(stderr, "zarnikcontrol: %s\n", qPrintable(why));
        if (!options.unattended)
            WidgetDialogs().showMessage(why);
        return 1;
    }
    if (!instanceLock.note().isEmpty())
        std::fprintf(stderr, "zarnikcontrol: %s\n", qPrintable(instanceLock.note()));

    SystemClock clock;
    WidgetDialogs windowDialogs;
    UnattendedDialogs unattendedDialogs;
    Dialogs& dialogs = options.unattended ? static_cast<Dialogs&>(unattendedDialogs) : windowDialogs;
    WidgetFileDialogs fileDialogs;
    SystemBackendProvider ports(PortFolder::path());
    std::unique_ptr<ToneOutput> toneOutput;
    if (options.sideToneWav.isEmpty())
        toneOutput = std::make_unique<AudioSinkToneOutput>();
    else
        toneOutput = std::make_unique<WavFileToneOutput>(options.sideToneWav, clock);
    auto endAtOnce = [] {
        std::fflush(nullptr);
        ::_exit(0);
    };
    AppCore core({clock, dialogs, fileDialogs, ports, *toneOutput, endAtOnce}, options.argument);
    QObject::connect(&core, &AppCore::programEnded, &app, [] { QCoreApplication::exit(0); });
    TerminationSignals termination;
    endOnTermination(termination, core);
    std::unique_ptr<UnattendedStation> station;
    if (options.unattended) {
        station = std::make_unique<UnattendedStation>(core, clock);
        unattendedDialogs.log = [&station](const QString& text) {
            if (station) // messages of the last moments, after the station part has gone
                station->log(text);
        };
    }

    PulseDuplex modemSound;
    core.setModemSound({&modemSound, &SoundDevices::inputNames, &SoundDevices::outputNames,
                        &SoundDevices::defaultInputName, &SoundDevices::defaultOutputName});
    MainWindow window(core);
    windowDialogs.setParentWindow(&window);
    fileDialogs.setParentWindow(&window);
    core.startUp();
    if (!instanceLock.note().isEmpty())
        core.log().writeLine(clock.now().toString(QStringLiteral("hh:mm:ss dd.MM.yyyy ")) + instanceLock.note());
    if (core.hasEnded())
        return 0;
    core.endpoints().start({options.cwDaemon, options.rigctl, options.spots, options.cwLead});
    if (station)
        station->start();
    window.show();
    if (!station)
        QTimer::singleShot(0, &core, &AppCore::connectAtStartup);
    return app.exec();
}
