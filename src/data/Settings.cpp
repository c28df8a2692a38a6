#include "data/Settings.h"

#include "platform/Profile.h"

CSettings::CSettings(Profile& profile)
    : m_profile(&profile)
{
    LoadSettings();
}

void CSettings::LoadSettings()
{
    if (!m_profile)
        return;
    general.LoadSettings(*m_profile);
    params.LoadSettings(*m_profile);
    folders.LoadSettings(*m_profile);
}

bool CSettings::SaveSettings()
{
    if (!m_profile)
        return false;
    general.SaveSettings(*m_profile);
    params.SaveSettings(*m_profile);
    folders.SaveSettings(*m_profile);
    return m_profile->sync();
}
