#pragma once

#include <QString>

#include <functional>

class QObject;

// How handing a file to the desktop's application ended.
enum class DesktopOpenResult { Opened, NotStarted, NoApplication };

// Hands the file to the application the desktop has for its type, without
// waiting for that application to end: `done` hears how the hand-over went
// later, from the event loop, unless `context` is gone by then. On Linux the
// opener is the first `xdg-open` on PATH, which fails when no application
// takes the file.
void OpenWithDesktop(const QString& path, QObject* context, std::function<void(DesktopOpenResult)> done);
