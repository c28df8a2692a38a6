#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QObject;

// How handing a file to the desktop's application ended.
enum class DesktopOpenResult { Opened, NotStarted, NoApplication };

// Hands the file to the application the desktop has for its type, without
// waiting for that application to end: `done` hears how the hand-over went
// later, from the event loop, unless `context` is gone by then. On Linux the
// opener is the first `xdg-open` on PATH, which fails when no application
// takes the file.
// hook, where set (tests), stands in for the opener: true as opened, false
// as not started; done then hears at once.
void OpenWithDesktop(const QString& path, QObject* context, const std::function<bool(const QString&)>& hook,
                     std::function<void(DesktopOpenResult)> done);

// The box text for a hand-over that failed, naming what (a "файл", an
// "отчёт") and its path as shown; empty for one that went well.
QString DesktopOpenFailureText(DesktopOpenResult result, const QString& what, const QString& shownPath);

struct DesktopHandOver
{
    DesktopOpenResult result = DesktopOpenResult::Opened;
    QString shownPath;
};

// One box text for the hand-overs of one command, in their order, leaving
// out those that went well: the failures of each kind under one lead line,
// the one-file text for a single file, `whatPlural` ("файлы") and a path a
// line for several. Empty when none failed.
QString DesktopOpenFailureText(const std::vector<DesktopHandOver>& handOvers, const QString& what,
                               const QString& whatPlural);

// Hands every file of one command to the desktop in turn. A failure is told
// about a second after it came, in one box with every other that came by
// then, so an application that runs until it is closed holds back no box;
// a failure after that box gets a box of its own. tell gets the box text.
// The hand-overs and the box to come belong to owner and end with it.
void OpenAllWithDesktop(const QStringList& paths, QObject* owner, const std::function<bool(const QString&)>& hook,
                        const QString& what, const QString& whatPlural, std::function<void(const QString&)> tell);
