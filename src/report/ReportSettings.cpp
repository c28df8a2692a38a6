#include "report/ReportSettings.h"

#include "platform/Profile.h"

namespace {

struct Flag
{
    const char* valueName;
    bool ReportSettings::*member;
};

// The stored order of the seven flags.
constexpr Flag kFlags[] = {
    {"enableAssayList", &ReportSettings::enableAssayList},
    {"enableMixtureList", &ReportSettings::enableMixtureList},
    {"enableGsResult", &ReportSettings::enableGsResult},
    {"enableGdResult", &ReportSettings::enableGdResult},
    {"enableDcResult", &ReportSettings::enableDcResult},
    {"enablePgResult", &ReportSettings::enablePgResult},
    {"enableSystemMsgs", &ReportSettings::enableSystemMsgs},
};

} // namespace

QString ReportSettings::SectionName()
{
    return QStringLiteral("ReportSettings");
}

QString ReportSettings::FileNameStem()
{
    return QStringLiteral("ReportVorn");
}

void ReportSettings::LoadSettings(const Profile& profile)
{
    const QString section = SectionName();
    deviceNumber = profile.readString(section, QStringLiteral("DeviceNumber"), QString());
    operatorName = profile.readString(section, QStringLiteral("Operator"), QString());
    for (const Flag& flag : kFlags)
        this->*flag.member = profile.readInt(section, QString::fromLatin1(flag.valueName), 1) != 0;
    saveFolder = profile.readString(section, QStringLiteral("SaveFolder"), QString());
}

void ReportSettings::SaveSettings(Profile& profile) const
{
    const QString section = SectionName();
    profile.writeString(section, QStringLiteral("DeviceNumber"), deviceNumber);
    profile.writeString(section, QStringLiteral("Operator"), operatorName);
    for (const Flag& flag : kFlags)
        profile.writeInt(section, QString::fromLatin1(flag.valueName), this->*flag.member ? 1 : 0);
    profile.writeString(section, QStringLiteral("SaveFolder"), saveFolder);
}
