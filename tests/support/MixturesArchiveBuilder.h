#pragma once

// Builds cylinder database files for tests, field by field, in any of the
// forms older writers used (8-bit strings, 32-bit times), and with counts
// that disagree with the records that follow.

#include "platform/Archive.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace testsupport {

struct ArchiveComponent
{
    std::int32_t number = 1;
    QString name;
    double concentration = 0.0;
    double uncertainty = 0.0;
    bool ansiName = false;
};

struct ArchiveCylinder
{
    std::int32_t number = 1;
    QString name;
    QString identifier;
    std::int64_t date = 0;
    std::int32_t type = 0;
    std::vector<ArchiveComponent> components;
    bool ansiStrings = false; // name and identifier as Windows-1251
    bool time32 = false;      // date without the 64-bit marker
    std::optional<std::uint32_t> componentCount; // overrides the real count
};

inline ArchiveCylinder makeCylinder(std::int32_t number, const QString& name, const QString& identifier,
                                    std::int64_t date, std::int32_t type)
{
    ArchiveCylinder c;
    c.number = number;
    c.name = name;
    c.identifier = identifier;
    c.date = date;
    c.type = type;
    return c;
}

inline void writeArchiveString(ArchiveWriter& w, const QString& text, bool ansi)
{
    if (ansi)
        w.writeAnsiString(text);
    else
        w.writeWideString(text);
}

inline QByteArray buildCylinderRecord(const ArchiveCylinder& c)
{
    ArchiveWriter w;
    w.writeI32(c.number);
    writeArchiveString(w, c.name, c.ansiStrings);
    writeArchiveString(w, c.identifier, c.ansiStrings);
    if (c.time32)
        w.writeTime32(static_cast<std::int32_t>(c.date));
    else
        w.writeTime(c.date);
    w.writeI32(c.type);
    w.writeU32(c.componentCount.value_or(static_cast<std::uint32_t>(c.components.size())));
    for (const ArchiveComponent& m : c.components) {
        w.writeI32(m.number);
        writeArchiveString(w, m.name, m.ansiName);
        w.writeDouble(m.concentration);
        w.writeDouble(m.uncertainty);
    }
    return w.bytes();
}

inline QByteArray buildMixturesArchive(const std::vector<ArchiveCylinder>& cylinders,
                                       std::optional<std::uint32_t> count = std::nullopt)
{
    ArchiveWriter w;
    w.writeU32(count.value_or(static_cast<std::uint32_t>(cylinders.size())));
    for (const ArchiveCylinder& c : cylinders)
        w.writeBytes(buildCylinderRecord(c));
    return w.bytes();
}

} // namespace testsupport
