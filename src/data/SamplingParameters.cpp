#include "data/SamplingParameters.h"

#include "data/LeadingNumber.h"
#include "platform/Profile.h"

QString SamplingParameters::SectionName()
{
    return QStringLiteral("Settings\\Params");
}

const std::array<SamplingParameters::Field, SamplingParameters::FieldCount>& SamplingParameters::Fields()
{
    static const std::array<Field, FieldCount> fields = {{
        {"GsPressure", &SamplingParameters::GsPressure},
        {"GsVol1", &SamplingParameters::GsVol1},
        {"GsVol2", &SamplingParameters::GsVol2},
        {"GsTemp", &SamplingParameters::GsTemp},
        {"GdPressure", &SamplingParameters::GdPressure},
        {"GdVol1", &SamplingParameters::GdVol1},
        {"GdVol2", &SamplingParameters::GdVol2},
        {"DcDensity", &SamplingParameters::DcDensity},
        {"DcAvg", &SamplingParameters::DcAvg},
        {"DcVol1", &SamplingParameters::DcVol1},
        {"DcVol2", &SamplingParameters::DcVol2},
        {"PgQkgn", &SamplingParameters::PgQkgn},
        {"PgVol1", &SamplingParameters::PgVol1},
        {"PgVol2", &SamplingParameters::PgVol2},
        {"PgVol3", &SamplingParameters::PgVol3},
        {"PgMpokgn", &SamplingParameters::PgMpokgn},
        {"PgMpoempty", &SamplingParameters::PgMpoempty},
        {"PgMpodc", &SamplingParameters::PgMpodc},
        {"PgMtrapdc", &SamplingParameters::PgMtrapdc},
        {"PgMtrapempty", &SamplingParameters::PgMtrapempty},
    }};
    return fields;
}

void SamplingParameters::LoadSettings(const Profile& profile)
{
    const QString section = SectionName();
    qtySymInProg = profile.readInt(section, QStringLiteral("qtySymInProg"), 3);
    qtySymInReport = profile.readInt(section, QStringLiteral("qtySymInReport"), 3);
    for (const Field& field : Fields())
        this->*field.member = ParseLeadingDouble(
            profile.readString(section, QLatin1String(field.valueName), QStringLiteral("0")));
}

void SamplingParameters::SaveSettings(Profile& profile) const
{
    const QString section = SectionName();
    profile.deleteSection(section);
    profile.writeInt(section, QStringLiteral("qtySymInProg"), qtySymInProg);
    profile.writeInt(section, QStringLiteral("qtySymInReport"), qtySymInReport);
    for (const Field& field : Fields())
        profile.writeDouble(section, QLatin1String(field.valueName), this->*field.member);
}
