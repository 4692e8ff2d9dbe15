#include "XmmvView.h"

#include "digital/modem/Modem.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr float kFloorDb = -100, kTopDb = 0;

QColor waterfallColour(float db) {
    const float t = std::clamp((db - kFloorDb) / (kTopDb - kFloorDb), 0.0f, 1.0f);
    return QColor::fromHsvF(0.66f * (1 - t), 1.0f, std::min(1.0f, 0.2f + t * 1.2f));
}
} // namespace

XmmvView::XmmvView(Modem& modem, int channel, QWidget* parent)
    : QWidget(parent), modem_(modem), channel_(channel) {
    setMinimumSize(200, 60);
    connect(&modem_, &Modem::spectrumReady, this, &XmmvView::refresh);
}

double XmmvView::frequencyAt(int x) const {
    return startHz + kSpanHz * x / std::max(1, width());
}

int XmmvView::xFor(double hz) const {
    return int(std::lround((hz - startHz) / kSpanHz * width()));
}

int XmmvView::notchAt(int x) const {
    for (int i = 0; i < modem_.notchCount(); ++i)
        if (std::abs(xFor(modem_.notchFrequency(i)) - x) <= 3)
            return i + 1;
    return 0;
}

void XmmvView::refresh() {
    if (display == DisplayKind::Waterfall)
        addWaterfallLine();
    update();
}

void XmmvView::resizeEvent(QResizeEvent*) {
    waterfall_ = QImage(size(), QImage::Format_RGB32);
    waterfall_.fill(Qt::black);
}

void XmmvView::addWaterfallLine() {
    if (waterfall_.isNull())
        return;
    // Scroll down one line and paint the newest spectrum at the top.
    std::memmove(waterfall_.scanLine(1), waterfall_.scanLine(0),
                 size_t(waterfall_.bytesPerLine()) * size_t(waterfall_.height() - 1));
    const std::vector<float>& db = modem_.spectrum().decibels();
    auto* line = reinterpret_cast<QRgb*>(waterfall_.scanLine(0));
    for (int x = 0; x < waterfall_.width(); ++x) {
        const auto bin = size_t(frequencyAt(x) / modem_.spectrum().binHz());
        line[x] = waterfallColour(bin < db.size() ? db[bin] : kFloorDb).rgb();
    }
}

void XmmvView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (display == DisplayKind::Waterfall)
        p.drawImage(0, 0, waterfall_);
    else if (display == DisplayKind::Scope && modem_.scopeKind == Modem::ScopeKind::Sync)
        paintSymbols(p);
    else if (display == DisplayKind::Scope)
        paintScope(p);
    else
        paintSpectrum(p);
    if (display != DisplayKind::Scope) // the scopes have no frequency axis
        paintMarks(p);
}

void XmmvView::paintSpectrum(QPainter& p) {
    const std::vector<float>& db = modem_.spectrum().decibels();
    QPolygonF trace;
    for (int x = 0; x < width(); ++x) {
        const auto bin = size_t(frequencyAt(x) / modem_.spectrum().binHz());
        const float level = bin < db.size() ? db[bin] : kFloorDb;
        trace << QPointF(x, height() * (kTopDb - level) / (kTopDb - kFloorDb));
    }
    p.setPen(QColor(80, 255, 120));
    p.drawPolyline(trace);
}

void XmmvView::paintScope(QPainter& p) {
    const std::vector<float>& samples = modem_.scope();
    if (samples.empty())
        return;
    QPolygonF trace;
    for (size_t n = 0; n < samples.size(); ++n)
        trace << QPointF(double(n) * width() / samples.size(), height() * (0.5 - 0.45 * samples[n]));
    p.setPen(QColor(255, 220, 80));
    p.drawPolyline(trace);
}

void XmmvView::paintSymbols(QPainter& p) {
    // Each decision is a dot on a circle: PSK shows two clusters, left and right; noise
    // spreads them, a carrier error turns them.
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = 0.4 * std::min(width(), height());
    p.setPen(QColor(60, 60, 60));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(80, 255, 120), 3));
    for (const std::complex<double>& turn : modem_.symbolScope(channel_))
        p.drawPoint(centre + QPointF(turn.real() * radius, -turn.imag() * radius));
}

void XmmvView::paintMarks(QPainter& p) {
    p.setPen(QPen(QColor(255, 80, 80), 1));
    const int rx = xFor(modem_.receiveCarrier(channel_));
    p.drawLine(rx, 0, rx, height());
    p.setPen(QPen(QColor(255, 255, 255), 1, Qt::DashLine));
    const int tx = xFor(modem_.transmitCarrier());
    p.drawLine(tx, 0, tx, 8);
    if (markerHz > 0) {
        p.setPen(QColor(80, 160, 255));
        p.drawLine(xFor(markerHz), 0, xFor(markerHz), height());
    }
    p.setPen(QColor(255, 160, 0));
    for (int i = 0; i < modem_.notchCount(); ++i) {
        const int x = xFor(modem_.notchFrequency(i));
        p.drawLine(x - 3, height() - 6, x + 3, height() - 6);
    }
}

void XmmvView::mousePressEvent(QMouseEvent* event) {
    emit clickedAt(frequencyAt(int(event->position().x())), event->button());
}

XmmvLevel::XmmvLevel(Modem& modem, QWidget* parent) : QWidget(parent), modem_(modem) {
    connect(&modem_, &Modem::displaysDue, this, qOverload<>(&QWidget::update));
}

void XmmvLevel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const int bar = int(height() * modem_.spectrum().level());
    p.fillRect(QRect(0, height() - bar, width(), bar), bar > height() * 0.9 ? Qt::red : Qt::green);
}

AfcIndicator::AfcIndicator(Modem& modem, QWidget* parent) : QWidget(parent), modem_(modem) {
    connect(&modem_, &Modem::displaysDue, this, qOverload<>(&QWidget::update));
}

void AfcIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setPen(QColor(90, 90, 90));
    p.drawLine(width() / 2, 0, width() / 2, height());
    const double offset = std::clamp(modem_.afcOffset(0), -kRangeHz, kRangeHz);
    const int x = int(width() / 2.0 + offset / kRangeHz * (width() / 2.0 - 2));
    p.fillRect(QRect(x - 2, 1, 5, height() - 2), QColor(255, 200, 0));
}
