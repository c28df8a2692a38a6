#pragma once

#include "calc/PgResults.h"
#include "report/ReportCaptions.h"
#include "report/XMLWrapper.h"

// The formation-gas tables of the report, written from the results as given:
// each is one `calc_table` under the root, or nothing at all for a result
// without rows. `captions` answers for the grids of the formation-gas page
// (none: a title spanning 0 columns and empty captions); every number is
// written with `precision` digits.

// Method 1: the group heads and captions in three header rows, one row per
// component, the column sums, the sums over the C5+ components, and the molar
// masses and densities of the phases.
void WritePgMethod1Table(XMLWrapper& doc, const CalcPgMethod1Result& result, const ReportCaptionSource* captions,
                         int precision);

// The sulphur compounds with the method-1 header rows, their sums ("Всего ССС:")
// and the stored totals over all components, whose fraction cells are `empty`.
void WritePgSulphurTable(XMLWrapper& doc, const PgSulphurResult& result, const ReportCaptionSource* captions,
                         int precision);

// Method 2: group heads and captions, one row per component, the column sums,
// and the molar masses and densities of the phases.
void WritePgMethod2Table(XMLWrapper& doc, const CalcPgMethod2Result& result, const ReportCaptionSource* captions,
                         int precision);

// A component-fraction composition, method 1 or 2 by `which`: the frame of
// the per-analysis tables, then the component and its three contents per row.
void WritePgCompositionTable(XMLWrapper& doc, ReportTable which, const CompFractResult& result,
                             const ReportCaptionSource* captions, int precision);
