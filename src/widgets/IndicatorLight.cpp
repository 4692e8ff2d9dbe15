#include "IndicatorLight.h"

#include <QPainter>

IndicatorLight::IndicatorLight(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor IndicatorLight::toColor(int colourNumber) {
    return QColor(colourNumber & 0xFF, (colourNumber >> 8) & 0xFF, (colourNumber >> 16) & 0xFF);
}

void IndicatorLight::setColourNumber(int colour) {
    if (colour_ == colour)
        return;
    colour_ = colour;
    update();
}

void IndicatorLight::setShown(bool shown) {
    if (shown_ == shown)
        return;
    shown_ = shown;
    update();
}

QSize IndicatorLight::sizeHint() const {
    const int side = fontMetrics().height();
    return {side, side};
}

void IndicatorLight::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr int kUnlit = 8421504;
    const QColor fill = toColor(shown_ ? colour_ : kUnlit);
    const int side = qMin(width(), height()) - 2;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    QRadialGradient shine(circle.center() - QPointF(side / 5.0, side / 5.0), side * 0.7);
    shine.setColorAt(0, fill.lighter(150));
    shine.setColorAt(1, fill);
    painter.setBrush(shine);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.drawEllipse(circle);
}
