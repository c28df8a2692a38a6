#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writer of compound files for tests: every stream sits directly under the root.
// Streams under 4096 bytes go to the mini stream, as the format wants.
namespace testsupport {

struct CfbStream
{
    QString name;
    QByteArray data;
};

struct CfbOptions
{
    int majorVersion = 3;          // 3: 512-byte sectors, 4: 4096-byte sectors
    bool forceDifatSectors = false; // place FAT sectors so the DIFAT chain is used
};

QByteArray buildCompoundFile(const QList<CfbStream>& streams, const CfbOptions& options = {});
bool writeCompoundFile(const QString& path, const QList<CfbStream>& streams, const CfbOptions& options = {});

} // namespace testsupport
