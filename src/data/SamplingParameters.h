#pragma once

#include <QString>

#include <array>

class Profile;

// The physical parameters of the sampling run that the chromatograms do not
// carry. Units: pressures kPa, volumes cm3 or dm3 as named, temperature °C,
// density g/cm3, molar mass g/mol, masses g.
class SamplingParameters
{
public:
    static QString SectionName();  // "Settings\Params"

    // Missing values read as 0.0; a text reads as far as it is a number ("12abc" is 12).
    void LoadSettings(const Profile& profile);
    // Deletes the section and writes every value again ("%.10f").
    void SaveSettings(Profile& profile) const;

    // A second copy of the digit counts, kept in this section and written back
    // unchanged; the program uses those of the general settings.
    int qtySymInProg = 3;
    int qtySymInReport = 3;

    // Separator gas
    double GsPressure = 0.0;
    double GsVol1 = 0.0;
    double GsVol2 = 0.0;
    double GsTemp = 0.0;
    // Degassing gas
    double GdPressure = 0.0;
    double GdVol1 = 0.0;
    double GdVol2 = 0.0;
    // Degassed condensate
    double DcDensity = 0.0;
    double DcAvg = 0.0;
    double DcVol1 = 0.0;
    double DcVol2 = 0.0;
    // Formation gas
    double PgQkgn = 0.0;
    double PgVol1 = 0.0;
    double PgVol2 = 0.0;
    double PgVol3 = 0.0;
    double PgMpokgn = 0.0;
    double PgMpoempty = 0.0;
    double PgMpodc = 0.0;
    double PgMtrapdc = 0.0;
    double PgMtrapempty = 0.0;

    static constexpr int FieldCount = 20;
    struct Field
    {
        const char* valueName;
        double SamplingParameters::*member;
    };
    // The twenty parameters in their stored order.
    static const std::array<Field, FieldCount>& Fields();
};
