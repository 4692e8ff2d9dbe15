// Writes the side tone's waveform "cw.wav": two sine periods in every 141 samples, a whole
// number of blocks, so that the endless loop joins without a click.
#include "keyer/ToneWaveform.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-cw-wav OUTPUT.wav\n");
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(ToneWaveform::makeCwWav()) < 0) {
        std::fprintf(stderr, "make-cw-wav: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
