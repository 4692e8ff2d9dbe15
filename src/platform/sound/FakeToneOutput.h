#pragma once

#include "ToneOutput.h"

#include <vector>

// For tests: takes samples only when the test pulls them, so time is the test's to drive.
class FakeToneOutput final : public ToneOutput {
public:
    bool start(SampleSource& source, QString* why) override {
        if (refuse) {
            if (why)
                *why = QStringLiteral("no sound card in this test");
            return false;
        }
        source_ = &source;
        ++starts;
        return true;
    }
    void stop() override { source_ = nullptr; }
    bool isRunning() const override { return source_ != nullptr; }

    // Renders the next `frames` samples, as a sound card would ask for them.
    std::vector<qint16> pull(int frames) {
        std::vector<qint16> samples(static_cast<size_t>(frames));
        if (source_)
            source_->render(samples.data(), frames);
        return samples;
    }

    bool refuse = false;
    int starts = 0;

private:
    SampleSource* source_ = nullptr;
};
