#include "WindowSize.h"

#include "common/ControlStore.h"
#include "common/Controls.h"

WindowSize::WindowSize(ControlStore& store, QObject* parent) : QObject(parent), store_(store) {}

void WindowSize::toggle() {
    if (store_.text(Ctl::expandMenu) == QStringLiteral("Expand")) {
        store_.setText(Ctl::expandMenu, QStringLiteral("Compress"));
        twips_ = kExpanded;
    } else {
        store_.setText(Ctl::expandMenu, QStringLiteral("Expand"));
        twips_ = kCompressed;
    }
    emit sizeChanged(twips_);
}
