#pragma once

#include "report/ReportCaptions.h"

class ResultTables;
class TableCaptions;

// The captions of the result pages' tables as the report reads them: each
// report table asks the table description that its page shows, so the
// report copies the headers the screen has at that moment, after any change
// of the analysis counts. The tables must outlive the adapter.
class ResultTablesCaptions final : public ReportCaptionSource
{
public:
    explicit ResultTablesCaptions(const ResultTables& tables)
        : m_tables(tables)
    {
    }

    int GetColumnCount(ReportTable table) const override;
    QString GetColumnText(ReportTable table, int column) const override;

    // The description whose page shows the table.
    const TableCaptions& Table(ReportTable table) const;

private:
    const ResultTables& m_tables;
};
