#pragma once

#include <QString>
#include <QStringList>

#include <map>

// The result tables of the report, each mirroring one grid of the result pages.
enum class ReportTable {
    GsCalibration,
    GsAnalysis,
    GsSulphur,
    GsMethanol,
    GdCalibration,
    GdAnalysis,
    GdSulphur,
    GdMethanol,
    DcC1C5,
    DcSulphur,
    DcMethanol,
    DcFractions,
    DcGroups,
    PgMethod1,
    PgSulphur,
    PgMethod2,
    PgCompositionMethod1,
    PgCompositionMethod2,
};

// The column captions of the on-screen grids, as the report copies them: the
// result pages answer for their grids, and no widget is needed to ask.
class ReportCaptionSource
{
public:
    virtual ~ReportCaptionSource() = default;
    // Columns of the grid that shows the table; 0 when it has no header.
    virtual int GetColumnCount(ReportTable table) const = 0;
    // The caption of a column; empty for a column the grid does not have.
    virtual QString GetColumnText(ReportTable table, int column) const = 0;
};

// Captions held as lists, one per table; a table without a list has no header.
class ReportCaptionTable : public ReportCaptionSource
{
public:
    void SetCaptions(ReportTable table, const QStringList& captions) { m_captions[table] = captions; }

    int GetColumnCount(ReportTable table) const override
    {
        const auto it = m_captions.find(table);
        return it == m_captions.end() ? 0 : static_cast<int>(it->second.size());
    }
    QString GetColumnText(ReportTable table, int column) const override
    {
        const auto it = m_captions.find(table);
        return it == m_captions.end() ? QString() : it->second.value(column);
    }

private:
    std::map<ReportTable, QStringList> m_captions;
};
