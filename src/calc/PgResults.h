#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "calc/CalcResult.h"

// One component row of the formation gas by method 1 (also the row of the
// sulphur summary). Volumes are dm3 and masses g, per m3 of separator gas,
// unless said otherwise; the value names are the report's element names.
struct PgMethod1Item
{
    std::int32_t id = -1;
    QString name;
    double molarMass = 0.0;  // g/mol
    double GsMol = 0.0, GsVol = 0.0, GsMasF = 0.0, GsMas = 0.0;
    double GdMol = 0.0, GdVol = 0.0, GdMasF = 0.0, GdMas = 0.0;
    double DcMol = 0.0, DcVol = 0.0, DcMasF = 0.0, DcMas = 0.0;
    double KgnMol = 0.0, KgnVol = 0.0, KgnMasF = 0.0, KgnMas = 0.0;
    double PgMol = 0.0, PgVol = 0.0, PgMasF = 0.0, PgGs = 0.0;
    double PgDry = 0.0;  // g per m3 of dry gas
    double PgPg = 0.0;   // g per m3 of formation gas
};

// The 22 values of a method-1 item in column order.
inline constexpr std::array<double PgMethod1Item::*, 22> kPgMethod1Values = {
    &PgMethod1Item::GsMol,  &PgMethod1Item::GsVol,  &PgMethod1Item::GsMasF,  &PgMethod1Item::GsMas,
    &PgMethod1Item::GdMol,  &PgMethod1Item::GdVol,  &PgMethod1Item::GdMasF,  &PgMethod1Item::GdMas,
    &PgMethod1Item::DcMol,  &PgMethod1Item::DcVol,  &PgMethod1Item::DcMasF,  &PgMethod1Item::DcMas,
    &PgMethod1Item::KgnMol, &PgMethod1Item::KgnVol, &PgMethod1Item::KgnMasF, &PgMethod1Item::KgnMas,
    &PgMethod1Item::PgMol,  &PgMethod1Item::PgVol,  &PgMethod1Item::PgMasF,  &PgMethod1Item::PgGs,
    &PgMethod1Item::PgDry,  &PgMethod1Item::PgPg,
};

// What method 1 gives besides its head.
struct PgMethod1Figures
{
    double gsMercaptanMolarMass = 0.0;
    double gsMolarMass = 0.0;  // g/mol
    double gsDensity = 0.0;    // kg/m3
    double gdMercaptanMolarMass = 0.0;
    double gdMolarMass = 0.0;
    double gdDensity = 0.0;
    double dcMercaptanMolarMass = 0.0;
    double c12PlusMolarMass = 0.0;  // of "Группа С12" in the condensate
    double dcMolarMass = 0.0;       // the setting DcAvg
    double pgDensity = 0.0;
    double pgMolarMass = 0.0;
    PgMethod1Item c5PlusTotal;      // id −1, empty name: sums over the C5+ components
    double dryGasFactor = 0.0;      // 1000 / volume of the dry gas
    double pgGasFactor = 0.0;       // 1000 / volume of the formation gas

    PgMethod1Figures() { c5PlusTotal.id = -1; }
};

struct CalcPgMethod1Result : CalcResult<PgMethod1Item>, PgMethod1Figures
{
};

// The sulphur compounds in the formation gas, with the column totals of the
// method-1 rows (sumDcMas stands before sumDcVol).
struct PgSulphurResult : CalcResult<PgMethod1Item>
{
    double sumGsVol = 0.0, sumGsMas = 0.0, sumGdVol = 0.0, sumGdMas = 0.0;
    double sumDcMas = 0.0, sumDcVol = 0.0, sumKgnVol = 0.0, sumKgnMas = 0.0;
    double sumPgVol = 0.0, sumPgGs = 0.0, sumPgDry = 0.0, sumPgPg = 0.0;
};

// One component row of the formation gas by method 2: no volumes.
struct PgMethod2Item
{
    std::int32_t id = -1;
    QString name;
    double molarMass = 0.0;
    double GsMol = 0.0, GsMasF = 0.0, GsMas = 0.0;
    double GdMol = 0.0, GdMasF = 0.0, GdMas = 0.0;
    double DcMol = 0.0, DcMasF = 0.0, DcMas = 0.0;
    double KgnMol = 0.0, KgnMasF = 0.0, KgnMas = 0.0;
    double PgMol = 0.0, PgMasF = 0.0, PgGs = 0.0;
};

// The 15 values of a method-2 item in column order.
inline constexpr std::array<double PgMethod2Item::*, 15> kPgMethod2Values = {
    &PgMethod2Item::GsMol,  &PgMethod2Item::GsMasF,  &PgMethod2Item::GsMas,
    &PgMethod2Item::GdMol,  &PgMethod2Item::GdMasF,  &PgMethod2Item::GdMas,
    &PgMethod2Item::DcMol,  &PgMethod2Item::DcMasF,  &PgMethod2Item::DcMas,
    &PgMethod2Item::KgnMol, &PgMethod2Item::KgnMasF, &PgMethod2Item::KgnMas,
    &PgMethod2Item::PgMol,  &PgMethod2Item::PgMasF,  &PgMethod2Item::PgGs,
};

struct CalcPgMethod2Result : CalcResult<PgMethod2Item>
{
    double gsMolarMass = 0.0;
    double gsDensity = 0.0;
    double gdMolarMass = 0.0;
    double gdDensity = 0.0;
    double c12PlusMolarMass = 0.0;
    double dcMolarMass = 0.0;
    double kgnMercaptanMolarMass = 0.0;
    double kgnC12PlusMolarMass = 0.0;
    double kgnMolarMass = 0.0;
    double pgDensity = 0.0;
    double pgMolarMass = 0.0;
    double pgMercaptanMolarMass = 0.0;
    double pgC12PlusMolarMass = 0.0;
};

// One row of a component-fraction composition, mass %.
struct CompFractRecord
{
    std::int32_t id = -1;  // component id, or a fraction id above 1000000
    QString name;
    double dc = 0.0;   // degassed condensate
    double kgn = 0.0;  // unstable condensate
    double pg = 0.0;   // formation gas
};

using CompFractResult = CalcResult<CompFractRecord>;

// Copies of a result's head only: rows, nParallel, hasError.
CalcResult<PgMethod1Item> CopyPgMethod1Rows(const CalcPgMethod1Result& result);
CalcResult<PgMethod1Item> CopyPgSulphurRows(const PgSulphurResult& result);
