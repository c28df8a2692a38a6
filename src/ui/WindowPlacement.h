#pragma once

#include <QRect>

class QWidget;

// Centres the dialog over its owner's window, by the client areas, and keeps
// it on the owner's screen. Called at every opening: Qt's own placement sets
// the frame's corner, and the frame is not known before the first showing,
// so from the second opening on a dialog would stand lower than the first
// time.
void PlaceOverOwner(QWidget& dialog);

// A saved window rectangle made to fit the screen it stands on (or, when it
// stands on none, as when a second screen is gone, the primary one): no larger
// than the screen's free area, and moved onto it where it lies off it.
QRect FitOnScreen(const QRect& rect);
