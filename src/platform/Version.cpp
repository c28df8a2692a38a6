#include "platform/Version.h"

QString GetVersionString()
{
    return QString::asprintf("%d.%d.%d", TAVRIN_VERSION_MAJOR, TAVRIN_VERSION_MINOR, TAVRIN_VERSION_PATCH);
}
