#include "data/ChromatogramFolders.h"

#include "platform/Profile.h"

#include <QDir>

#include <algorithm>

namespace {

QString folderValue(int index)
{
    return QString::asprintf("folder_%d", index);
}

} // namespace

QString ChromatogramFolders::SectionName()
{
    return QStringLiteral("Settings\\Chrms");
}

bool ChromatogramFolders::AddFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    // Two spellings of one folder ("/data/run/" and "/data/run") are one entry;
    // letter case counts, as it does on the file systems we run on.
    const QString cleaned = QDir::cleanPath(path);
    const bool listed = std::any_of(m_folders.cbegin(), m_folders.cend(), [&](const QString& folder) {
        return QDir::cleanPath(folder) == cleaned;
    });
    if (listed)
        return false;
    m_folders.append(path);
    return true;
}

void ChromatogramFolders::RemoveFolders(QList<int> positions)
{
    // From the back, so the positions still to remove keep their meaning.
    std::sort(positions.begin(), positions.end(), std::greater<int>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (int position : positions) {
        if (position >= 0 && position < m_folders.size())
            m_folders.removeAt(position);
    }
}

void ChromatogramFolders::RemoveAll()
{
    m_folders.clear();
}

void ChromatogramFolders::LoadSettings(const Profile& profile)
{
    const QString section = SectionName();
    enAutoOpen = profile.readInt(section, QStringLiteral("enAutoOpen"), 1);
    const int count = std::min(profile.readInt(section, QStringLiteral("qtyFolders"), 0), MaxStoredFolders);
    for (int i = 0; i < count; ++i) {
        const QString folder = profile.readString(section, folderValue(i), QString());
        if (!folder.isEmpty())
            AddFolder(folder);
    }
}

void ChromatogramFolders::SaveSettings(Profile& profile) const
{
    const QString section = SectionName();
    profile.deleteSection(section);
    profile.writeInt(section, QStringLiteral("enAutoOpen"), enAutoOpen);
    int written = 0;
    for (const QString& folder : m_folders) {
        if (folder.isEmpty())
            continue;
        profile.writeString(section, folderValue(written), folder);
        ++written;
    }
    profile.writeInt(section, QStringLiteral("qtyFolders"), written);
}
