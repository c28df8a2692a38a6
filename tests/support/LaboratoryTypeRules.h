#pragma once

#include <QString>

#include "data/GeneralSettings.h"

namespace testsupport {

// Rows of the chromatogram-type table.
enum TypeRow {
    BlankRow = 0, GsAnalysisRow = 1, GsCalibrationRow = 2, GsSulphurRow = 3, GsMethanolRow = 4,
    GdAnalysisRow = 5, GdCalibrationRow = 6, GdSulphurRow = 7, GdMethanolRow = 8, DcC1C5Row = 9,
    DcTemperatureRow = 10,
};

// A laboratory's table: gases measured by "ГАЗ-1", condensate by its own
// methods; a sample naming "ГС", "ГД", "ДК", "Калибр", "Холост" or "алкан"
// says its kind.
inline GeneralSettings laboratorySettings()
{
    GeneralSettings g;
    TypeRuleTable& t = g.typeRules;
    const QString gas = QStringLiteral("ГАЗ-1");
    t.SetMethodPattern(BlankRow, gas);
    t.SetSamplePattern(BlankRow, QStringLiteral("Холост"));
    t.SetMethodPattern(GsCalibrationRow, gas);
    t.SetSamplePattern(GsCalibrationRow, QStringLiteral("Калибр"));
    t.SetMethodPattern(GsAnalysisRow, gas);
    t.SetSamplePattern(GsAnalysisRow, QStringLiteral("ГС"));
    t.SetMethodPattern(GdCalibrationRow, gas);
    t.SetSamplePattern(GdCalibrationRow, QStringLiteral("Калибр"));
    t.SetMethodPattern(GdAnalysisRow, gas);
    t.SetSamplePattern(GdAnalysisRow, QStringLiteral("ГД"));
    t.SetMethodPattern(DcTemperatureRow, QStringLiteral("ДК-Темп"));
    t.SetSamplePattern(DcTemperatureRow, QStringLiteral("алкан"));
    t.SetMethodPattern(DcC1C5Row, QStringLiteral("ДК-С1С5"));
    t.SetSamplePattern(DcC1C5Row, QStringLiteral("ДК"));
    return g;
}

} // namespace testsupport
