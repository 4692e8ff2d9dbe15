#include "WindowSize.h"

#include "ControlStore.h"
#include "Controls.h"

WindowSize::WindowSize(ControlStore& store, QObject* parent) : QObject(parent), store_(store) {}

void WindowSize::toggle() {
    if (store_.text(Ctl::Expand) == QStringLiteral("Expand")) {
        store_.setText(Ctl::Expand, QStringLiteral("Compress"));
        twips_ = kExpanded;
    } else {
        store_.setText(Ctl::Expand, QStringLiteral("Expand"));
        twips_ = kCompressed;
    }
    emit sizeChanged(twips_);
}
