#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

// Where a span of length starting at start goes to lie in [low, high] by the
// least move; one longer than that starts at low. 64-bit: a hand-made
// rectangle may start near the ends of int.
int keptInside(qint64 start, qint64 length, int low, int high)
{
    return int(std::max<qint64>(low, std::min(start, qint64(high) + 1 - length)));
}

QRect keptInside(const QRect& place, const QRect& room)
{
    return QRect(keptInside(place.left(), place.width(), room.left(), room.right()),
                 keptInside(place.top(), place.height(), room.top(), room.bottom()), place.width(), place.height());
}

qint64 overlap(qint64 start, qint64 length, qint64 roomStart, qint64 roomLength)
{
    return std::max<qint64>(0, std::min(start + length, roomStart + roomLength) - std::max(start, roomStart));
}

// The size comes apart from the corner: grown to the window's minimum size, a
// rectangle near the end of int would have its right or bottom edge past it.
const QScreen* screenUnder(const QPoint& corner, const QSize& size)
{
    const QScreen* under = QGuiApplication::primaryScreen();
    qint64 most = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const qint64 shared = overlap(corner.x(), size.width(), area.left(), area.width()) *
                              overlap(corner.y(), size.height(), area.top(), area.height());
        if (shared > most) {
            most = shared;
            under = screen;
        }
    }
    return under;
}

} // namespace

void PlaceOverOwner(QWidget& dialog)
{
    FitToScreen(dialog);
    QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (!owner)
        return;
    QRect place(QPoint(0, 0), dialog.size());
    place.moveCenter(owner->geometry().center());
    if (const QScreen* screen = owner->screen()) {
        const QRect room = screen->availableGeometry();
        place = keptInside(place, room);
        // The title bar stays on the screen, within the mouse's reach, where
        // a window as tall as the screen would lose it.
        const QMargins frame = EstimatedFrame(dialog);
        place.moveTo(std::max(place.left(), room.left() + frame.left()), std::max(place.top(), room.top() + frame.top()));
    }
    dialog.setGeometry(place);
}

QMargins EstimatedFrame(const QWidget& window)
{
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    return QMargins(border, style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window) + border, border, border);
}

QRect FitFrameInside(const QRect& inner, const QMargins& frame, const QRect& room, const QSize& least)
{
    const QSize size = inner.size().boundedTo(room.size().shrunkBy(frame)).expandedTo(least.expandedTo(QSize(1, 1)));
    const int frameLeft = keptInside(qint64(inner.left()) - frame.left(), size.width() + frame.left() + frame.right(),
                                     room.left(), room.right());
    const int frameTop = keptInside(qint64(inner.top()) - frame.top(), size.height() + frame.top() + frame.bottom(),
                                    room.top(), room.bottom());
    return QRect(frameLeft + frame.left(), frameTop + frame.top(), size.width(), size.height());
}

QRect FitOnScreen(const QRect& rect, const QMargins& frame, const QSize& least)
{
    const QScreen* screen = screenUnder(rect.topLeft(), rect.size().expandedTo(least));
    return screen ? FitFrameInside(rect, frame, screen->availableGeometry(), least) : rect;
}

void FitToScreen(QWidget& window)
{
    const QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : &window;
    const QScreen* screen = owner->screen();
    if (!screen)
        return;
    const QSize room = screen->availableGeometry().size().shrunkBy(EstimatedFrame(window));
    const QSize least = window.minimumSize();
    if (least.width() > room.width() || least.height() > room.height())
        window.setMinimumSize(least.boundedTo(room));
    if (window.width() > room.width() || window.height() > room.height())
        window.resize(window.size().boundedTo(room));
}

void SetGeometryOnScreen(QWidget& window, const QRect& rect)
{
    // Placed first, so that the window is cut to the screen it will lie on.
    window.setGeometry(FitOnScreen(rect, EstimatedFrame(window), window.minimumSize()));
    FitToScreen(window);
    window.setGeometry(FitOnScreen(window.geometry(), EstimatedFrame(window), window.minimumSize()));
}

FittingScrollArea::FittingScrollArea(QWidget* content, QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    // Tab goes from field to field as without it.
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    setWidget(content);
    // The page shows the tab pane's colour through it, as without the area.
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
}

QSize FittingScrollArea::minimumSizeHint() const
{
    return widget()->minimumSizeHint();
}
