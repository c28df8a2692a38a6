#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The rectangle moved by the least distance to lie inside room; one larger
// than room keeps its top left corner on room's.
QRect keptInside(QRect place, const QRect& room)
{
    place.moveLeft(std::max(room.left(), std::min(place.left(), room.right() + 1 - place.width())));
    place.moveTop(std::max(room.top(), std::min(place.top(), room.bottom() + 1 - place.height())));
    return place;
}

} // namespace

void PlaceOverOwner(QWidget& dialog)
{
    QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (!owner)
        return;
    QRect place(QPoint(0, 0), dialog.size());
    place.moveCenter(owner->geometry().center());
    if (const QScreen* screen = owner->screen())
        place = keptInside(place, screen->availableGeometry());
    dialog.setGeometry(place);
}

QRect FitOnScreen(const QRect& rect)
{
    const QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return rect;
    const QRect room = screen->availableGeometry();
    const QRect fitted(rect.topLeft(), rect.size().boundedTo(room.size()));
    return keptInside(fitted, room);
}
