#pragma once

#include <QRect>
#include <QStringList>

#include <optional>

class Profile;

// What the main window keeps in the profile from one run to the next: the
// chromatogram files it listed ("RecentChrms": values "0", "1", ... in list
// order) and its window rectangle ("WState" at the root: 16 bytes, the
// left, top, right and bottom edges as little-endian 32-bit integers, right
// and bottom exclusive).

// The stored paths up to the first missing or empty value.
QStringList LoadRecentChromatograms(const Profile& profile);
// Replaces the whole section, so no path of an earlier run stays behind.
void SaveRecentChromatograms(Profile& profile, const QStringList& paths);

// The stored rectangle; nothing when the value is missing, is not exactly
// 16 bytes long or describes no area.
std::optional<QRect> LoadWindowState(const Profile& profile);
void SaveWindowState(Profile& profile, const QRect& rect);
