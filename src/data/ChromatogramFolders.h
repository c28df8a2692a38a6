#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Profile;

// The folders scanned for chromatograms at start-up, and the switch that
// turns the scan on.
class ChromatogramFolders
{
public:
    static QString SectionName();  // "Settings\Chrms"
    // A stored count beyond this is taken as damage; reading stops there.
    static constexpr int MaxStoredFolders = 10000;

    int enAutoOpen = 1;  // the scan runs only when this is 1

    const QStringList& folders() const { return m_folders; }

    // Appends a folder unless the path is empty or already listed. Paths are
    // compared as the file system compares them, after cleaning.
    bool AddFolder(const QString& path);
    // Removes the folders at the given list positions (any order; positions
    // out of range are ignored).
    void RemoveFolders(QList<int> positions);
    void RemoveAll();

    // Adds the stored folders that are not listed yet; nothing is removed,
    // so folders added in this run stay.
    void LoadSettings(const Profile& profile);
    // Deletes the section, then writes "enAutoOpen", the non-empty folders
    // renumbered from 0 and "qtyFolders".
    void SaveSettings(Profile& profile) const;

private:
    QStringList m_folders;
};
