#include "ScreenRoom.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QRect ScreenRoom::fit(QRect wanted) {
    const QScreen* screen = QGuiApplication::screenAt(wanted.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    const QRect room = screen->availableGeometry();
    wanted.setSize(wanted.size().boundedTo(room.size()));
    wanted.moveLeft(std::clamp(wanted.left(), room.left(), room.right() - wanted.width() + 1));
    wanted.moveTop(std::clamp(wanted.top(), room.top(), room.bottom() - wanted.height() + 1));
    return wanted;
}
