#pragma once

// An `xdg-open` of the test's own, first on PATH for the object's lifetime:
// it notes the file it is given, runs `start`, a line of shell, waits until
// released (at most 30 seconds) so a test sees that nobody waited for it,
// then runs `ending`, another line, and ends with 0. Without an ending PATH
// holds only an empty folder.

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace testsupport {

class StandInOpener
{
public:
    explicit StandInOpener(const std::optional<QByteArray>& ending, const QByteArray& start = {})
        : m_path(qgetenv("PATH"))
    {
        QFile script(m_dir.filePath(QStringLiteral("xdg-open")));
        m_ready = m_dir.isValid()
                  && (!ending
                      || (script.open(QIODevice::WriteOnly)
                          && script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$0.files\"\n" + start + "\ni=0\nwhile [ ! -e \"$0.go\" ] "
                                          "&& [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done\n" + *ending + "\nexit 0\n") > 0
                          && script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)));
        qputenv("PATH", QFile::encodeName(m_dir.path()) + (ending ? ":" + m_path : QByteArray()));
    }
    ~StandInOpener() { qputenv("PATH", m_path); }

    bool ready() const { return m_ready; }
    // The files given so far, in order.
    QStringList files() const
    {
        QFile f(m_dir.filePath(QStringLiteral("xdg-open.files")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts) : QStringList();
    }
    // Lets every waiting and later call end.
    bool release() { return QFile(m_dir.filePath(QStringLiteral("xdg-open.go"))).open(QIODevice::WriteOnly); }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
    bool m_ready = false;
};

} // namespace testsupport
