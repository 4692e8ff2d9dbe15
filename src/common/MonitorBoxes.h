#pragma once

#include <QString>

class ControlStore;

// The three traffic monitors: from the logger (Text1), from the server (Text5) and to the
// logger or the server (Text6). Copies go in only while "Monitor Data" is ticked, each
// followed by CR LF, and the boxes are kept short.
class MonitorBoxes {
public:
    static constexpr int kLoggerMonitorLimit = 1000; // Text1 is emptied past this
    static constexpr int kTrafficMonitorLimit = 2000; // Text5/Text6 are cut back past this
    static constexpr int kTrafficMonitorKeepFrom = 1500; // ... to the part from this character

    explicit MonitorBoxes(ControlStore& store) : store_(store) {}

    void copyFromLogger(const QString& text);
    void copyFromServer(const QString& chunk); // unchanged, no line end added
    void copySent(const QString& text);
    void clearAll();

    // The limits, applied on every change of a box's text.
    static QString limitLoggerMonitor(const QString& text);
    static QString limitTrafficMonitor(const QString& text);

private:
    bool enabled() const;

    ControlStore& store_;
};
