#include "data/Settings.h"

#include "data/Sentence.h"
#include "platform/Profile.h"

#include <QDir>

CSettings::CSettings(Profile& profile)
    : m_profile(&profile)
{
    LoadSettings();
}

void CSettings::LoadSettings()
{
    // Values that could not be written stay in force until the program ends,
    // as the user was told, whatever the profile holds meanwhile.
    if (!m_profile || m_unwritten)
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
    m_unwritten = !m_profile->sync();
    return !m_unwritten;
}

QString ProfileNotWrittenText(const Profile& profile, const QString& what)
{
    const QString why = profile.writeError().isEmpty() ? QStringLiteral("причина неизвестна") : profile.writeError();
    return QStringLiteral("Не удалось записать %1 в профиль программы %2: %3\n"
                          "Они действуют до конца работы программы.")
        .arg(what, QDir::toNativeSeparators(profile.fileName()), AsSentence(why));
}
