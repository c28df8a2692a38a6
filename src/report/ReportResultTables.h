#pragma once

#include "calc/CondensateRow.h"
#include "calc/GasAnalysis.h"
#include "calc/GasCalibration.h"
#include "calc/Methanol.h"
#include "calc/SulphurCompounds.h"
#include "report/ReportDocument.h"

// The result tables of the separator gas, the degassing gas and the degassed
// condensate. Each call writes the table `which` from `result` exactly as
// its builder does with the result of the last calculation: nothing for a
// result without rows; otherwise a `calc_table` under the root with the
// title and caption rows, one `fill_data` per row and, where the kind has
// one, the totals row. The number of per-analysis values comes from the
// report's settings; a value the row's series does not hold is written
// "---", and a sum that misses a value or adds an unset one is unset too.
// `which` must be a table of the result's kind; another writes nothing.
void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const CalibrationResult& result);
void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const GasAnalysisResult& result);
void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const SulphurResult& result);
void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const GasMethanolResult& result);
void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const CondensateResult& result);
void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which,
                      const CondensateMethanolResult& result);

// The title of a table of these three samples as the report writes it; empty
// for any other table.
QString ResultTableTitle(ReportTable which);
// How many per-analysis values a row of that table carries under the
// settings; 0 for any other table.
int ResultTableAnalysisCount(ReportTable which, const GeneralSettings& general);
