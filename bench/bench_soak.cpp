// The soak run: the whole program for a long time under everything at once. corvel-sim
// reports a new frequency every few milliseconds, a logger polls the radio port at 10 Hz,
// CW text goes to the keyer port every second, and two chat stations talk through the
// program's chat server. It prints polls sent and answered, keyer echoes, chat lines relayed,
// station lines, peak and final memory and CPU, and fails (exit 1) on an unanswered poll, a
// keyer that stopped answering, or memory that grew beyond a small bound.
//
//   bench_soak [SECONDS] [REPORT-INTERVAL-MS]        (1800, 5)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr double kMemoryGrowthLimitMb = 10;

// The logger's end of a virtual port: raw bytes, read as they come.
class PortEnd {
public:
    bool open(const QString& path) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            return false;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd_, TCSANOW, &tio);
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char bytes[4096];
            const ssize_t n = ::read(fd_, bytes, sizeof bytes);
            if (n > 0)
                received.append(bytes, qsizetype(n));
        });
        return true;
    }
    void write(const QByteArray& bytes) { (void)!::write(fd_, bytes.constData(), size_t(bytes.size())); }
    ~PortEnd() {
        notifier_.reset();
        if (fd_ >= 0)
            ::close(fd_);
    }
    QByteArray received;

private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

struct Sample {
    double residentMb = 0;
    double cpuSeconds = 0;
};

Sample sampleOf(qint64 pid) {
    Sample s;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                s.residentMb = line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
        if (fields.size() > 13)
            s.cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
    }
    return s;
}

QString settingsFor(quint16 stationPort, quint16 chatPort) {
    // Radio and keyer on the virtual ports, the station on this computer, chat server on.
    return QStringLiteral("Virtual\r\n14025.00\r\n127.0.0.1\r\n%1\r\nSOAK\r\npw\r\n 2\r\n 21\r\n 0\r\n800\r\n"
                          "24\r\n 0\r\n180\r\n 0\r\n180\r\n 0\r\n 0\r\n 1\r\n%2\r\n")
        .arg(stationPort)
        .arg(chatPort);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 1800;
    const int reportMs = argc > 2 ? std::atoi(argv[2]) : 5;
    const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    QTemporaryDir folder;

    QProcess sim;
    sim.start(bin + QStringLiteral("/tools/corvel-sim/corvel-sim"),
              {"--listen", "127.0.0.1:0", "--user", "SOAK:pw"});
    if (!sim.waitForReadyRead(10000))
        return std::fprintf(stderr, "corvel-sim did not start\n"), 2;
    const QByteArray first = sim.readLine().trimmed();
    const auto stationPort = quint16(first.mid(first.lastIndexOf(':') + 1).toUInt());
    const auto chatPort = quint16(20000 + QCoreApplication::applicationPid() % 20000);
    QFile ini(folder.filePath("ZarnikControl.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(settingsFor(stationPort, chatPort).toLatin1());
    ini.close();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZARNIKCONTROL_PORT_DIR", folder.filePath("ports"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder.path());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(bin + QStringLiteral("/src/zarnikcontrol"), {});
    if (!program.waitForStarted(10000))
        return std::fprintf(stderr, "zarnikcontrol did not start\n"), 2;

    // The login opens the ports; the logger then opens its ends.
    PortEnd radio, keyer;
    QElapsedTimer startUp;
    startUp.start();
    while (!QFileInfo(folder.filePath("ports/keyer")).isSymLink() && startUp.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    while (startUp.elapsed() < 23000 && !(radio.open(folder.filePath("ports/radio")) &&
                                          keyer.open(folder.filePath("ports/keyer"))))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);

    QTcpSocket talker, listener;
    talker.connectToHost(QHostAddress::LocalHost, chatPort);
    listener.connectToHost(QHostAddress::LocalHost, chatPort);
    talker.waitForConnected(5000);
    listener.waitForConnected(5000);
    talker.write("Login:SOAK1"); // the server relays only what logged-in stations send
    listener.write("Login:SOAK2");
    qint64 chatHeard = 0;
    QObject::connect(&listener, &QTcpSocket::readyRead, [&] { chatHeard += listener.readAll().count("SOAK:"); });

    int pollsSent = 0, chatSent = 0, keyerSent = 0, reports = 0;
    radio.received.clear();
    keyer.received.clear();
    QTimer poll, cw, chat, report, sampler;
    QObject::connect(&poll, &QTimer::timeout, [&] { radio.write("IF;"), ++pollsSent; });
    QObject::connect(&cw, &QTimer::timeout, [&] { keyer.write("cq test "), ++keyerSent; });
    QObject::connect(&chat, &QTimer::timeout, [&] {
        talker.write(QStringLiteral("SOAK:line %1\r\n").arg(++chatSent).toLatin1());
    });
    QObject::connect(&report, &QTimer::timeout, [&] {
        sim.write(QStringLiteral("freq %1\n").arg(14000000 + (++reports % 1000) * 100).toLatin1());
    });
    Sample early, peak, last;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        last = sampleOf(program.processId());
        peak.residentMb = std::max(peak.residentMb, last.residentMb);
        if (early.residentMb == 0 && clock.elapsed() > seconds * 100) // after the first tenth
            early = last;
    });
    const Sample atStart = sampleOf(program.processId());
    poll.start(100);
    cw.start(1000);
    chat.start(200);
    report.start(reportMs);
    sampler.start(1000);
    QTimer::singleShot(seconds * 1000, &app, [&] {
        poll.stop(), cw.stop(), chat.stop(), report.stop();
        QTimer::singleShot(1500, &app, &QCoreApplication::quit); // the last answers
    });
    app.exec();
    last = sampleOf(program.processId());
    sampler.stop();

    const int answered = int(radio.received.count("IF000"));
    const int echoes = int(keyer.received.count("CQ TEST "));
    const double cpu = 100 * (last.cpuSeconds - atStart.cpuSeconds) / (double(clock.elapsed()) / 1000);
    const double growth = last.residentMb - (early.residentMb > 0 ? early.residentMb : atStart.residentMb);
    std::printf("soak run, %d s, a station report every %d ms:\n", seconds, reportMs);
    std::printf("  logger polls     %d sent, %d answered\n", pollsSent, answered);
    std::printf("  keyer text       %d sent, %d echoed\n", keyerSent, echoes);
    std::printf("  chat lines       %d sent, %lld relayed\n", chatSent, chatHeard);
    std::printf("  station reports  %d\n", reports);
    std::printf("  memory           %.1f MB at the start, %.1f MB peak, %.1f MB at the end\n",
                atStart.residentMb, peak.residentMb, last.residentMb);
    std::printf("  CPU              %.1f %% of one core\n", cpu);
    program.terminate();
    program.waitForFinished(10000);
    sim.write("quit\n");
    sim.waitForFinished(5000);
    bool ok = true;
    if (answered < pollsSent) {
        std::printf("FAIL: %d polls not answered\n", pollsSent - answered);
        ok = false;
    }
    if (echoes < keyerSent) {
        std::printf("FAIL: the keyer echoed %d of %d texts\n", echoes, keyerSent);
        ok = false;
    }
    if (growth > kMemoryGrowthLimitMb) {
        std::printf("FAIL: memory grew by %.1f MB after the first tenth of the run\n", growth);
        ok = false;
    }
    return ok ? 0 : 1;
}
