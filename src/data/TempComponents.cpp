#include "data/TempComponents.h"

#include "platform/Profile.h"

#include <algorithm>

namespace {

struct DefaultTempRow
{
    const char16_t* name;
    double temperature;
};

// Ids follow the order of the rows: Сn has the id n - 1 up to С5 and n from С6 on.
const DefaultTempRow kDefaultTempRows[] = {
    {u"С1", -162},
    {u"С2", -89},
    {u"С3", -42},
    {u"С4", 0},
    {u"С5", 36},
    {u"2-метилпентан", 60.3},
    {u"С6", 69},
    {u"С7", 98},
    {u"С8", 126},
    {u"С9", 151},
    {u"С10", 174},
    {u"С11", 196},
    {u"С12", 216},
    {u"С13", 235},
    {u"С14", 254},
    {u"С15", 271},
    {u"С16", 287},
    {u"С17", 302},
    {u"С18", 316},
    {u"С19", 330},
    {u"С20", 344},
    {u"С21", 356},
    {u"С22", 369},
    {u"С23", 380},
    {u"С24", 391},
    {u"С25", 402},
    {u"С26", 412},
    {u"С27", 422},
    {u"С28", 430},
    {u"С29", 440},
    {u"С30", 449},
    {u"С31", 458},
    {u"С32", 466},
    {u"С33", 474},
    {u"С34", 481},
    {u"С35", 489},
    {u"С36", 496},
    {u"С37", 503},
    {u"С38", 509},
    {u"С39", 516},
    {u"С40", 522},
    {u"С41", 528},
    {u"С42", 534},
    {u"С43", 540},
    {u"С44", 545},
};

bool sameText(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString TempComponentTable::SectionName()
{
    return QStringLiteral("Components\\Temp");
}

TempComponentTable& TempComponentTable::Global()
{
    static TempComponentTable table;
    return table;
}

void TempComponentTable::AddTempComponent(const QString& name, double temperature)
{
    m_rows.push_back(TempComponent{m_nextId++, name, name, temperature});
}

void TempComponentTable::FillDefaultTempComponents()
{
    if (!m_fillPending)
        return;
    m_fillPending = false;
    for (const DefaultTempRow& row : kDefaultTempRows)
        AddTempComponent(QString::fromUtf16(row.name), row.temperature);
}

TempComponent* TempComponentTable::findById(std::int32_t id)
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(),
                                 [id](const TempComponent& row) { return row.id == id; });
    return it == m_rows.end() ? nullptr : &*it;
}

void TempComponentTable::LoadSettings(const Profile& profile)
{
    if (!m_loadPending)
        return;
    m_loadPending = false;

    const QString section = SectionName();
    const int stored = profile.readInt(section, QStringLiteral("qtyComps"), 0);
    // Values for ids that no row bears are ignored, so a damaged, huge count
    // need not be walked beyond the last id.
    std::int32_t lastId = -1;
    for (const TempComponent& row : m_rows)
        lastId = std::max(lastId, row.id);
    const std::int32_t count = std::min<std::int32_t>(stored, lastId + 1);

    for (std::int32_t id = 0; id < count; ++id) {
        TempComponent* row = findById(id);
        if (!row)
            continue;
        const QString name = profile.readString(section, QString::asprintf("%d_", id) + QStringLiteral("name"), QString());
        const QString altName = profile.readString(section, QString::asprintf("%d_", id) + QStringLiteral("altName"), QString());
        if (!name.isEmpty())
            row->name = name;
        if (!altName.isEmpty())
            row->searchName = altName;
    }
}

void TempComponentTable::Build(const Profile* profile)
{
    FillDefaultTempComponents();
    if (profile)
        LoadSettings(*profile);
}

const TempComponent* TempComponentTable::FindBySearchName(const QString& peakName) const
{
    for (const TempComponent& row : m_rows) {
        if (sameText(row.searchName, peakName))
            return &row;
    }
    return nullptr;
}

bool TempComponentTable::IsKnownPeak(const QString& peakName) const
{
    return std::any_of(m_rows.begin(), m_rows.end(), [&](const TempComponent& row) {
        return sameText(row.name, peakName) || sameText(row.searchName, peakName);
    });
}

bool TempComponentTable::SetSearchName(std::int32_t id, const QString& newSearchName)
{
    TempComponent* row = findById(id);
    if (!row)
        return false;
    row->searchName = newSearchName;
    return true;
}

const TempComponent* TempComponentTable::FindOtherBySearchName(std::int32_t id, const QString& searchName) const
{
    for (const TempComponent& row : m_rows) {
        if (row.id != id && sameText(row.searchName, searchName))
            return &row;
    }
    return nullptr;
}
