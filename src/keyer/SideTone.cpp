#include "SideTone.h"

#include "SideToneRenderer.h"
#include "ToneWaveform.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/NumericText.h"
#include "platform/Dialogs.h"
#include "platform/sound/ToneOutput.h"

namespace {
// Playback rates the tone accepts, in waveform samples a second (as a sound buffer would).
constexpr double kLowestRate = 100;
constexpr double kHighestRate = 200000;
constexpr double kWaveformOwnRate = 44100;
} // namespace

SideTone::SideTone(Context context, QObject* parent) : QObject(parent), ctx_(std::move(context)) {
    connect(&ctx_.store, &ControlStore::changed, this,
            [this](const QString& name, ControlStore::Aspect) { onControlChanged(name); });
}

SideTone::~SideTone() { stop(); }

void SideTone::onControlChanged(const QString& name) {
    if (name == Ctl::sideToneCheck && ctx_.store.isTicked(Ctl::sideToneCheck) && !renderer_)
        startToneBuffer(false);
    else if (name == Ctl::sideToneVolume && renderer_)
        renderer_->setVolume(ctx_.store.value(Ctl::sideToneVolume));
}

void SideTone::queue(const QString& text) { sideToneText_ += text; }

double SideTone::pitchHz() const { return NumericText::numericValue(pitchText_); }

bool SideTone::isSounding() const { return renderer_ && renderer_->isSounding(); }

void SideTone::step() {
    if (sideToneText_.isEmpty())
        return;
    if (renderer_ && renderer_->queuedSeconds() > kLeadSeconds)
        return; // the character before is still sounding
    const QChar character = sideToneText_.front().toUpper();
    sideToneText_ = sideToneText_.mid(1, kQueueKept);
    if (renderer_)
        renderer_->appendCharacter(character, ctx_.cwSpeed());
}

void SideTone::startToneBuffer(bool restart) {
    if (restart)
        stop();
    QString why;
    const auto waveform = ToneWaveform::load(ToneWaveform::locate(), &why);
    if (!waveform) {
        failToStart(why);
        return;
    }
    auto renderer = std::make_unique<SideToneRenderer>(*waveform);
    const double rate = pitchHz() * kWaveformRate;
    if (rate < kLowestRate || rate > kHighestRate) {
        // The tone plays at the file's own rate; the operator learns which value was wrong.
        ctx_.dialogs.showMessage(kSoundCardError +
                                 QStringLiteral(": a pitch of \"%1\" Hz cannot be "
                                                "played (%2 to %3 Hz); the tone "
                                                "keeps its own pitch")
                                     .arg(pitchText_)
                                     .arg(int(kLowestRate / kWaveformRate) + 1)
                                     .arg(int(kHighestRate / kWaveformRate)));
        renderer->setPitch(kWaveformOwnRate / kWaveformRate);
    } else {
        renderer->setPitch(rate / kWaveformRate);
    }
    renderer->setVolume(ctx_.store.value(Ctl::sideToneVolume));
    if (!ctx_.output.start(*renderer, &why)) {
        failToStart(why);
        return;
    }
    renderer_ = std::move(renderer);
}

void SideTone::failToStart(const QString& why) {
    ctx_.dialogs.showMessage(kSoundCardError);
    ctx_.store.setValue(Ctl::sideToneCheck, 0);
    ctx_.dialogs.showMessage(why);
}

void SideTone::stop() {
    ctx_.output.stop();
    renderer_.reset();
}
