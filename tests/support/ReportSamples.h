#pragma once

class XMLWrapper;

namespace testsupport {

// A report document that uses every element of the report's vocabulary, as
// the table builders write them: the header with markup in a sample name,
// both lists, result tables of every shape (per-analysis tables with short
// totals rows, formation-gas tables with row and column spans, a font size,
// custom rows and empty cells, a composition table), the graph and the
// messages. Values include the unset form "---".
void WriteEveryElementReport(XMLWrapper& doc);

// A large report for timing: `tables` gas-analysis tables of `rows` rows
// each (three analyses), with lists and messages.
void WriteLargeReport(XMLWrapper& doc, int tables, int rows);

} // namespace testsupport
