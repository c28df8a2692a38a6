#pragma once

// The report of a whole sampling run, made as the program makes it: the
// sample set written to a temporary folder, its files added, sorted and
// given their roles, the cylinders and the laboratory's settings read, the
// recalculation run, and the result tables set up as the pages show them.
// Header only, so that the benchmarks use it without the test library.

#include "calc/CalcData.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramList.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Mixtures.h"
#include "data/Settings.h"
#include "data/TempComponents.h"
#include "platform/Profile.h"
#include "report/ReportDocument.h"
#include "report/ResultTablesCaptions.h"
#include "sampleset/SampleSet.h"
#include "tables/ResultTables.h"

#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace testsupport {

class SampleSetReport
{
public:
    // False, with the reason in error(), when the set cannot be written or
    // read back.
    bool Load()
    {
        if (!m_dir.isValid())
            return fail(QStringLiteral("no temporary folder"));
        if (!sampleset::WriteSampleSet(m_dir.path(), &m_set, &m_error))
            return false;
        m_profile = std::make_unique<Profile>(m_set.profilePath);
        m_settings = std::make_unique<CSettings>(*m_profile);
        MixturesDatabase(m_set.mixturesPath).load(m_cylinders);
        m_gas.Build(nullptr);
        m_temp.Build(nullptr);
        for (const QString& path : m_set.chromatograms)
            AddChromatogram(m_records, path, m_cylinders);
        if (m_records.size() != static_cast<std::size_t>(m_set.chromatograms.size()))
            return fail(QStringLiteral("not every chromatogram was read"));
        SortChromatograms(m_records);
        AssignCalculationTypes(m_records, m_settings->general);
        m_data.SetReferenceTables(m_gas, m_temp);
        m_data.Recalculate(&m_cylinders, &m_records, m_settings.get(), m_log);
        m_tables.Setup(m_settings->general);
        return true;
    }

    ReportSources Sources() const
    {
        return {m_settings.get(), &m_records, &m_cylinders, &m_data, &m_log, &m_captions};
    }
    // Every section, with a device and an operator.
    static ReportSettings Everything()
    {
        ReportSettings choice;
        choice.deviceNumber = QStringLiteral("Кристалл-5000 №17");
        choice.operatorName = QStringLiteral("Петрова А. В.");
        return choice;
    }

    const QString& error() const { return m_error; }
    const QString& folder() const { return m_set.folder; }
    const CalcData& data() const { return m_data; }
    const MessageLog& log() const { return m_log; }
    const ResultTables& tables() const { return m_tables; }

private:
    bool fail(const QString& why)
    {
        m_error = why;
        return false;
    }

    QTemporaryDir m_dir;
    sampleset::WrittenSet m_set;
    QString m_error;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<CSettings> m_settings;
    MixtureList m_cylinders;
    GasComponentTable m_gas;
    TempComponentTable m_temp;
    std::vector<ChromatogramRecord> m_records;
    CalcData m_data;
    MessageLog m_log;
    ResultTables m_tables;
    ResultTablesCaptions m_captions{m_tables};
};

} // namespace testsupport
