#pragma once

#include <QString>

#include <array>
#include <vector>

class Profile;
class GeneralSettings;

// One row of the chromatogram-type table: a chromatogram whose method name
// contains a fragment of the method pattern and whose sample name contains a
// fragment of the sample pattern takes the row's role.
struct TypeRule
{
    QString type;           // one of the 14 type names, fixed
    QString methodPattern;  // "Методика содержит"
    QString samplePattern;  // "Проба содержит"
    bool stored = false;    // the row's patterns are written on save
};

// The 14 chromatogram types in their fixed order; the row index is the
// number used in the stored value names ("3_method", "3_sample").
class TypeRuleTable
{
public:
    static constexpr int RowCount = 14;

    // Appends the 14 default rows with empty patterns; only the first call works.
    void FillDefaultTypeRules();

    int size() const { return static_cast<int>(m_rules.size()); }
    TypeRule& operator[](int row) { return m_rules.at(static_cast<std::size_t>(row)); }
    const TypeRule& operator[](int row) const { return m_rules.at(static_cast<std::size_t>(row)); }
    const std::vector<TypeRule>& rules() const { return m_rules; }

    // Sets a pattern as an edit in the type grid does: a non-empty text marks
    // the row for saving; clearing a text keeps the mark (the empty text is saved).
    void SetMethodPattern(int row, const QString& text);
    void SetSamplePattern(int row, const QString& text);

    // The first calculation slot of a row's role; its runs take the slots that follow.
    static int FirstSlot(int row);
    // How many runs a row's role takes under the given analysis counts.
    static int RunCount(int row, const GeneralSettings& general);

private:
    std::vector<TypeRule> m_rules;
    bool m_fillPending = true;
};

// The general settings page: rounding, nitrogen-correction switches, blank
// subtraction, analysis counts and the type table. Calculators read the
// members as they stand.
class GeneralSettings
{
public:
    static QString SectionName();         // "Settings\General"
    static QString MethodsSectionName();  // "Settings\General\Methods"
    // Most digits a number is ever formatted with: "%.*f" of a larger count
    // would only make huge texts of meaningless digits. The stored counts
    // themselves may be larger and are kept as they are.
    static constexpr int MaxDigits = 15;

    GeneralSettings();

    // Missing or malformed values read as their defaults; an analysis count
    // other than 0 or 1 reads as 1; digit counts are kept as stored. Type
    // patterns: a stored non-empty text replaces the row's
    // pattern and marks the row, an empty one leaves the row as it is.
    void LoadSettings(const Profile& profile);
    // Deletes both sections and writes every value again, then the patterns
    // of the marked rows.
    void SaveSettings(Profile& profile) const;

    int qtySymInProg = 3;    // decimals shown in the program
    int qtySymInReport = 3;  // decimals in the report
    int enGsGradCorrect = 0;    // ГС calibration: nitrogen corrected by oxygen
    int enGsAnalysCorrect = 0;  // ГС analysis
    int enGdGradCorrect = 0;    // ГД calibration
    int enGdAnalysCorrect = 0;  // ГД analysis
    int enBlankSubtraction = 0;
    double TimeStartSample = 0.0;  // minutes

    // Analysis counts: 0 selects the smaller number of runs, 1 the larger.
    int QtyGsRegular = 0;
    int QtyGsCalib = 0;
    static constexpr int QtyGsSss = 3;  // ГС sulphur compounds: always three runs
    int QtyGsMeth = 0;
    int QtyGdRegular = 0;
    int QtyGdCalib = 0;
    int QtyGdSss = 0;
    int QtyGdMeth = 0;
    int QtyDcC1C5 = 0;
    int QtyDcSss = 0;
    int QtyDcMeth = 0;
    int QtyDcC6C44 = 0;

    TypeRuleTable typeRules;

    // The eleven analysis counts in their stored order.
    struct AnalysisCount
    {
        const char* valueName;
        int GeneralSettings::*member;
        int smallerRuns;
        int largerRuns;
    };
    static const std::array<AnalysisCount, 11>& AnalysisCounts();
};
