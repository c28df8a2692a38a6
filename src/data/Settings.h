#pragma once

#include "data/ChromatogramFolders.h"
#include "data/GeneralSettings.h"
#include "data/SamplingParameters.h"

class Profile;

// Every calculation setting of the program: the general page (rounding,
// switches, analysis counts, type table), the sampling parameters and the
// chromatogram folders. Calculators, the main window and the report read the
// members; the settings dialog edits them and saves on OK.
class CSettings
{
public:
    // Defaults only, bound to no profile (for calculations in tests).
    CSettings() = default;
    // Loads every page from the profile, which must outlive this object.
    explicit CSettings(Profile& profile);

    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    GeneralSettings general;
    SamplingParameters params;
    ChromatogramFolders folders;

    const GeneralSettings& GetGeneral() const { return general; }
    const SamplingParameters& GetParams() const { return params; }
    const ChromatogramFolders& GetFolders() const { return folders; }

    Profile* profile() const { return m_profile; }

    // Reloads the three pages from the profile (folders are added to, type
    // patterns only overwritten by non-empty stored texts). No profile, or
    // settings whose last save failed: nothing.
    void LoadSettings();
    // Rewrites the general, parameter and folder sections, in this order, and
    // flushes. False when there is no profile or it could not be written;
    // the members then stay as they are until a later save succeeds.
    bool SaveSettings();

private:
    Profile* m_profile = nullptr;
    bool m_unwritten = false;
};

// What the user is told of a profile whose last write failed: what was not
// written ("настройки"), the profile's file, the system's reason as a
// sentence, and that the values act until the program ends.
QString ProfileNotWrittenText(const Profile& profile, const QString& what);
