#pragma once

#include <QObject>
#include <QString>

struct TerminalContext;

// The directory window's SendTextFile: a text file goes out line by line through the
// terminal's modem, with the remote transmitter keyed around it. A line is handed over only
// when the modem has sent the one before and a second has passed, so the operator can stop
// the file with "TXOFF" between lines.
class FileSender final : public QObject {
    Q_OBJECT
  public:
    enum class Trigger { DoubleClick, GoF2 }; // how the operator asked for it
    static constexpr double kLinePaceSeconds = 1.0;
    static constexpr qint64 kMaxLineBytes = 64 * 1024;

    explicit FileSender(TerminalContext& context, QObject* parent = nullptr);

    // The file name rule the terminal has always had: the name must contain "txt" or "TXT".
    static bool acceptsName(const QString& fileName);
    static QString joinPath(const QString& folder, const QString& fileName);

    void sendTextFile(const QString& folder, const QString& fileName, Trigger trigger);
    bool isSending() const { return sending_; }

  signals:
    void hideRequested();  // the window gets out of the way while the file goes out
    void closeRequested(); // the window is done

  private:
    bool paceLine();
    void endTransmission();
    void fail(Trigger trigger, const QString& why);

    TerminalContext& context_;
    bool sending_ = false;
};
