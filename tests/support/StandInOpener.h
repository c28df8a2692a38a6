#pragma once

// An `xdg-open` of the test's own, first on PATH for the object's lifetime.
// It notes each file it is given, then waits until released (or gives up
// after 30 seconds), so a test can see that nobody waited for it, and then
// runs `ending`, a line of shell, before it ends with 0. Without an ending
// there is no `xdg-open` at all: PATH holds only an empty folder.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace testsupport {

class StandInOpener
{
public:
    explicit StandInOpener(const std::optional<QByteArray>& ending)
        : m_path(qgetenv("PATH"))
    {
        if (ending) {
            QFile script(m_dir.filePath(QStringLiteral("xdg-open")));
            m_ready = script.open(QIODevice::WriteOnly)
                      && script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$0.files\"\ni=0\n"
                                      "while [ ! -e \"$0.go\" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done\n"
                                      + *ending + "\nexit 0\n") > 0
                      && script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else {
            m_ready = m_dir.isValid();
        }
        qputenv("PATH", QFile::encodeName(m_dir.path()) + (ending ? ":" + m_path : QByteArray()));
    }
    ~StandInOpener() { qputenv("PATH", m_path); }
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    bool ready() const { return m_ready; }
    // The files it was given so far, in order.
    QStringList files() const
    {
        QFile f(m_dir.filePath(QStringLiteral("xdg-open.files")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                           : QStringList();
    }
    // Lets every waiting and later call end.
    bool release() { return QFile(m_dir.filePath(QStringLiteral("xdg-open.go"))).open(QIODevice::WriteOnly); }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
    bool m_ready = false;
};

} // namespace testsupport
