#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

namespace testsupport {

// Local time is UTC while the object lives, so that dates shown in local
// time can be compared with fixed texts.
class UtcZone
{
public:
    UtcZone() : m_old(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", "UTC");
        tzset();
    }
    ~UtcZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    UtcZone(const UtcZone&) = delete;
    UtcZone& operator=(const UtcZone&) = delete;

private:
    QByteArray m_old;
    bool m_had;
};

} // namespace testsupport
