#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class Profile;

// One component of the gas catalogue. Molar mass in g/mol; the summation
// factor is dimensionless (0 where none is known).
struct GasComponent
{
    std::int32_t id = 0;
    QString formula;     // a label only
    QString name;        // catalogue name, case kept
    QString searchName;  // name under which chromatogram peaks are matched
    double molarMass = 0.0;
    double summationFactor = 0.0;
};

// The search-name index entry of one component.
struct GasSearchEntry
{
    const GasComponent* component = nullptr;
    bool modified = false;    // changed since the last save
    bool altNameSet = false;  // given a search name by the user in this run
};

using GasComponentList = std::vector<const GasComponent*>;

// Lookup key of a name or search name: the whole text lower-cased with
// Unicode rules (Cyrillic folds too); nothing trimmed, nothing else folded.
QString GasComponentKey(const QString& text);

// The catalogue: records by name, an index by search name and nine ordered
// component lists. Records never move once added, so the pointers handed out
// stay valid for the table's lifetime. The program keeps one table, Global();
// tests build their own.
class GasComponentTable
{
public:
    static QString SectionName();  // "Components\Gas"

    GasComponentTable() = default;
    GasComponentTable(const GasComponentTable&) = delete;
    GasComponentTable& operator=(const GasComponentTable&) = delete;

    static GasComponentTable& Global();

    // Adding under a name that is already taken keeps the first record and
    // returns it; the id is used up all the same. The search index is not
    // touched (see RebuildSearchIndex). Note the two argument orders.
    const GasComponent& AddGasComponent(const QString& formula, const QString& name,
                                        double summationFactor, double molarMass);
    const GasComponent& AddGasComponentAlt(const QString& formula, const QString& name,
                                           const QString& searchName, double molarMass,
                                           double summationFactor);

    // The 120 built-in components and the nine lists; only the first call works.
    void FillDefaultGasComponents();
    // Stored search names ("%d_altName") replace the built-in ones; only the
    // first call works. Does not rebuild the search index.
    void LoadSettings(const Profile& profile);
    // Writes "qtyComps" and the search names edited since the last save.
    void SaveSettings(Profile& profile);
    // Whether a search name was edited since the last save.
    bool HasUnsavedSearchNames() const;
    // Rebuilds the search index from the records, in name-key order; a search
    // key that is already taken keeps its first entry.
    void RebuildSearchIndex();
    // Fill, load (when a profile is given) and index, as at program start.
    void Build(const Profile* profile);

    const GasComponent* FindComponentByName(const QString& name) const;
    const GasSearchEntry* FindComponentBySearchName(const QString& searchName) const;
    // The current search name of a catalogue component; empty when unknown.
    QString GetComponentSearchName(const QString& name) const;

    // Gives the component (found by its id) a new search name, exactly as
    // typed, effective at once. Refused (nullptr, nothing changed) when the
    // id is unknown or another component already answers to the new name in
    // any letter case. Returns the component's entry after the change.
    const GasSearchEntry* SetSearchName(std::int32_t componentId, const QString& newSearchName);

    const std::map<QString, GasComponent>& byName() const { return m_byName; }
    const std::map<QString, GasSearchEntry>& bySearchName() const { return m_bySearchName; }

    const GasComponentList& ComponentsC1C5() const { return m_c1c5; }
    const GasComponentList& ComponentsC3C4() const { return m_c3c4; }
    const GasComponentList& ComponentsC5() const { return m_c5; }
    const GasComponentList& ComponentsC6() const { return m_c6; }
    const GasComponentList& ComponentsC7() const { return m_c7; }
    const GasComponentList& ComponentsC8() const { return m_c8; }
    const GasComponentList& SulphurComponents() const { return m_sulphur; }
    const GasComponentList& MercaptanComponents() const { return m_mercaptans; }
    const GasComponentList& ComponentGroupsC6C12() const { return m_groupsC6C12; }

private:
    const GasComponent& add(const QString& formula, const QString& name,
                            const QString& searchName, double molarMass, double summationFactor);
    GasComponent* findByIdMutable(std::int32_t id);
    GasComponentList makeList(std::initializer_list<const char16_t*> names) const;

    std::map<QString, GasComponent> m_byName;
    std::map<QString, GasSearchEntry> m_bySearchName;
    std::int32_t m_nextId = 1;
    bool m_fillPending = true;
    bool m_loadPending = true;

    GasComponentList m_c1c5, m_c3c4, m_c5, m_c6, m_c7, m_c8;
    GasComponentList m_sulphur, m_mercaptans, m_groupsC6C12;
};

// Shortcuts to the program's table.
const GasComponent* FindComponentByName(const QString& name);
const GasSearchEntry* FindComponentBySearchName(const QString& searchName);
QString GetComponentSearchName(const QString& name);
