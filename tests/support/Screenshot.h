#pragma once

#include <QDir>
#include <QPixmap>
#include <QString>

namespace testsupport {

// Pictures for a person to look at, written only when TAVRIN_SCREENSHOT_DIR
// names a folder for them.
inline void saveScreenshotIfAsked(const QPixmap& picture, const QString& fileName)
{
    const QString folder = qEnvironmentVariable("TAVRIN_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        picture.save(QDir(folder).filePath(fileName));
}

} // namespace testsupport
