#include "report/ReportDocument.h"

// The result tables read the results of every calculation and the captions
// of the result pages; until those exist here, each table has no rows to
// write and leaves no trace, as an empty result does.

void ReportDocument::BuildGsCalibrationTable(XMLWrapper&) {}
void ReportDocument::BuildGsAnalysisTable(XMLWrapper&) {}
void ReportDocument::BuildGsSulphurTable(XMLWrapper&) {}
void ReportDocument::BuildGsMethanolTable(XMLWrapper&) {}
void ReportDocument::BuildGdCalibrationTable(XMLWrapper&) {}
void ReportDocument::BuildGdAnalysisTable(XMLWrapper&) {}
void ReportDocument::BuildGdSulphurTable(XMLWrapper&) {}
void ReportDocument::BuildGdMethanolTable(XMLWrapper&) {}
void ReportDocument::BuildDcC1C5Table(XMLWrapper&) {}
void ReportDocument::BuildDcSulphurTable(XMLWrapper&) {}
void ReportDocument::BuildDcMethanolTable(XMLWrapper&) {}
void ReportDocument::BuildDcFractionsTable(XMLWrapper&) {}
void ReportDocument::BuildDcGroupsTable(XMLWrapper&) {}
