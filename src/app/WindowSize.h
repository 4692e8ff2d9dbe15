#pragma once

#include <QObject>
#include <QSize>

class ControlStore;

// The main window's two sizes, switched by the "Expand"/"Compress" menu entry. Sizes are in
// twips (1/1440 inch); the window turns them into pixels for the screen it is on.
class WindowSize final : public QObject {
    Q_OBJECT
public:
    static constexpr QSize kCompressed{5640, 4485};
    static constexpr QSize kExpanded{10725, 8340};

    explicit WindowSize(ControlStore& store, QObject* parent = nullptr);

    void toggle();
    QSize twips() const { return twips_; }
    bool isExpanded() const { return twips_ == kExpanded; }

signals:
    void sizeChanged(QSize twips);

private:
    ControlStore& store_;
    QSize twips_ = kCompressed;
};
