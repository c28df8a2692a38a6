#include "report/ResultTablesCaptions.h"

#include "tables/ResultTables.h"

const TableCaptions& ResultTablesCaptions::Table(ReportTable table) const
{
    switch (table) {
    case ReportTable::GsCalibration: return m_tables.gs.calibration;
    case ReportTable::GsAnalysis: return m_tables.gs.analysis;
    case ReportTable::GsSulphur: return m_tables.gs.sulphur;
    case ReportTable::GsMethanol: return m_tables.gs.methanol;
    case ReportTable::GdCalibration: return m_tables.gd.calibration;
    case ReportTable::GdAnalysis: return m_tables.gd.analysis;
    case ReportTable::GdSulphur: return m_tables.gd.sulphur;
    case ReportTable::GdMethanol: return m_tables.gd.methanol;
    case ReportTable::DcC1C5: return m_tables.dc.c1c5;
    case ReportTable::DcSulphur: return m_tables.dc.sulphur;
    case ReportTable::DcMethanol: return m_tables.dc.methanol;
    case ReportTable::DcFractions: return m_tables.dc.fractions;
    case ReportTable::DcGroups: return m_tables.dc.groups;
    case ReportTable::PgMethod1: return m_tables.pg.method1;
    case ReportTable::PgSulphur: return m_tables.pg.sulphur;
    case ReportTable::PgMethod2: return m_tables.pg.method2;
    case ReportTable::PgCompositionMethod1: return m_tables.pg.compFract1;
    case ReportTable::PgCompositionMethod2: break;
    }
    return m_tables.pg.compFract2;
}

int ResultTablesCaptions::GetColumnCount(ReportTable table) const
{
    return Table(table).GetColumnCount();
}

QString ResultTablesCaptions::GetColumnText(ReportTable table, int column) const
{
    return Table(table).GetColumnText(column);
}
