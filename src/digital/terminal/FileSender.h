#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

struct TerminalContext;

// The directory window's SendTextFile: a text file goes out line by line through the
// terminal's modem, with the remote transmitter keyed around it. A line is handed over only
// when the modem has sent the one before and a second has passed, so the operator can stop
// the file with "TXOFF" between lines. The pacing runs on the ticks of a timer.
class FileSender final : public QObject {
    Q_OBJECT
  public:
    enum class Trigger { DoubleClick, GoF2 }; // how the operator asked for it
    static constexpr double kLinePaceSeconds = 1.0;
    static constexpr qint64 kMaxLineBytes = 64 * 1024;
    static constexpr int kTickMs = 20;

    explicit FileSender(TerminalContext& context, QObject* parent = nullptr);

    // The file name rule the terminal has always had: the name must contain "txt" or "TXT".
    static bool acceptsName(const QString& fileName);
    static QString joinPath(const QString& folder, const QString& fileName);

    void sendTextFile(const QString& folder, const QString& fileName, Trigger trigger);
    bool isSending() const { return file_ != nullptr; }
    // The timer's tick: the next line goes when its time has come, or the file ends.
    void tick();
    // The window closes: it has keyed up already, the rest of the file is dropped.
    void stop();

  signals:
    void hideRequested();  // the window gets out of the way while the file goes out
    void closeRequested(); // the window is done

  private:
    bool sendNextLine();
    void finish();
    void endTransmission();
    void fail(Trigger trigger, const QString& why);

    TerminalContext& context_;
    std::unique_ptr<QFile> file_; // while it goes out
    Trigger trigger_ = Trigger::DoubleClick;
    double nextLineAt_ = 0; // on the monotonic clock
    QTimer tickTimer_;
};
