#pragma once

#include <QWidget>

// A round indicator light filled with a colour number (red in the low byte).
class IndicatorLight final : public QWidget {
    Q_OBJECT
public:
    explicit IndicatorLight(QWidget* parent = nullptr);

    void setColourNumber(int colour);
    int colourNumber() const { return colour_; }
    // A light that is "not shown" stays in its place, unlit, so its caption still makes sense.
    void setShown(bool shown);
    bool isShown() const { return shown_; }
    QSize sizeHint() const override;

    static QColor toColor(int colourNumber);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int colour_ = 0;
    bool shown_ = true;
};
