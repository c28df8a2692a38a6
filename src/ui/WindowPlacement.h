#pragma once

#include <QMargins>
#include <QRect>
#include <QScrollArea>
#include <QSize>

class QWidget;

// Fits the dialog to its owner's screen (FitToScreen), centres it over the
// owner's window, by the client areas, and keeps it, title bar included, on
// that screen. Called at every opening: Qt's own placement sets
// the frame's corner, and the frame is not known before the first showing,
// so from the second opening on a dialog would stand lower than the first
// time.
void PlaceOverOwner(QWidget& dialog);

// The window's frame (title bar and borders) as its style draws one. The
// window manager's own is known only once the window is shown, too late for
// a rectangle set before.
QMargins EstimatedFrame(const QWidget& window);

// A window's inner rectangle fitted so that the whole window, frame and title
// bar included, lies in room: no larger than room, and moved onto it by the
// least distance. It is never smaller than least, the window's minimum size:
// the window would grow to that from its top-left corner, past room's edge.
// A window larger than room keeps its title bar's corner on room's, so it can
// still be moved and closed.
QRect FitFrameInside(const QRect& inner, const QMargins& frame, const QRect& room, const QSize& least);

// A saved inner rectangle fitted as above onto the free area of the screen
// that the window, grown to least, lies on most (or, when it lies on none, as
// when a second screen is gone, the primary one).
QRect FitOnScreen(const QRect& rect, const QMargins& frame, const QSize& least);

// Where the free area of the screen the window opens on (its owner's, for a
// dialog), less the frame, cannot hold the window's minimum size or its size,
// cuts both to it; its FittingScrollAreas then scroll. A window that fits
// keeps both, so a large screen sees no change.
void FitToScreen(QWidget& window);

// Sets a top-level window's inner rectangle fitted onto its screen as
// FitOnScreen does, cut first by FitToScreen to what that screen can hold.
void SetGeometryOnScreen(QWidget& window, const QRect& rect);

// A scroll area that asks for its content's least size, so a window on a
// screen with the room is as large as without it and nothing scrolls; where
// FitToScreen cuts the window below that, the area shrinks and scrolls. It
// takes no focus and draws no background of its own.
class FittingScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit FittingScrollArea(QWidget* content, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
};
