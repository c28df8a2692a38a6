#pragma once

#include "report/ReportGraph.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

namespace testsupport {

// Writes a few bytes in place of a picture; when told to fail, it writes
// them all the same and then reports failure, as a writer stopped late
// would. Notes every path it is given.
class FakeGraphImage : public ReportGraphImage
{
public:
    bool fail = false;
    QByteArray bytes = "png";
    mutable QStringList paths;

    bool WriteGraphImage(const TemperatureResult&, const QString& path, QString* error) const override
    {
        paths << path;
        QFile file(path);
        const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        if (fail && error)
            *error = QStringLiteral("отказ");
        return written && !fail;
    }
};

} // namespace testsupport
