#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class Profile;

// One marker of the condensate temperature chromatogram: a normal alkane
// (or 2-метилпентан) with its boiling temperature in °C.
struct TempComponent
{
    std::int32_t id = 0;
    QString name;
    QString searchName;  // name under which peaks are matched
    double temperature = 0.0;
};

// The boiling-temperature table, rows in insertion order. Names compare
// without regard to letter case (Unicode rules, Cyrillic included), exactly
// otherwise. The program keeps one table, Global(); tests build their own.
class TempComponentTable
{
public:
    static QString SectionName();  // "Components\Temp"

    TempComponentTable() = default;
    TempComponentTable(const TempComponentTable&) = delete;
    TempComponentTable& operator=(const TempComponentTable&) = delete;

    static TempComponentTable& Global();

    void AddTempComponent(const QString& name, double temperature);
    // The 45 built-in rows; only the first call works.
    void FillDefaultTempComponents();
    // Applies stored names and search names by id ("%d_name", "%d_altName",
    // ids below "qtyComps"); only the first call works. The section is never written.
    void LoadSettings(const Profile& profile);
    // Fill and load (when a profile is given), as at program start.
    void Build(const Profile* profile);

    const std::vector<TempComponent>& rows() const { return m_rows; }
    int size() const { return static_cast<int>(m_rows.size()); }

    // The first row whose search name equals the peak name; nullptr when none.
    const TempComponent* FindBySearchName(const QString& peakName) const;
    // Whether some row's name or search name equals the peak name.
    bool IsKnownPeak(const QString& peakName) const;

    // Changes the search name of the row with this id for the rest of the
    // run; false when no row bears the id.
    bool SetSearchName(std::int32_t id, const QString& newSearchName);
    // Another row than the one with this id whose search name equals the
    // name, as peak names are matched; nullptr when none.
    const TempComponent* FindOtherBySearchName(std::int32_t id, const QString& searchName) const;

private:
    TempComponent* findById(std::int32_t id);

    std::vector<TempComponent> m_rows;
    std::int32_t m_nextId = 0;
    bool m_fillPending = true;
    bool m_loadPending = true;
};
