#include "data/GasComponents.h"

#include "platform/Profile.h"

#include <algorithm>

namespace {

struct DefaultGasRow
{
    std::int32_t id;
    const char16_t* formula;
    const char16_t* name;
    const char16_t* searchName;  // nullptr: the name itself
    double molarMass;
    double summationFactor;
};

// The built-in catalogue; ids follow the order of the rows.
const DefaultGasRow kDefaultGasRows[] = {
    {1, u"CH4", u"Метан", nullptr, 16.043, 0.0436},
    {2, u"C2H6", u"Этан", nullptr, 30.07, 0.0894},
    {3, u"C3H8", u"Пропан", nullptr, 44.097, 0.1288},
    {4, u"C4H10", u"2-Метилпропан", u"и-Бутан", 58.123, 0.1703},
    {5, u"C4H10", u"н-Бутан", nullptr, 58.123, 0.1783},
    {6, u"C5H12", u"2-Метилбутан", u"и-Пентан", 72.15, 0.2168},
    {7, u"C5H12", u"н-Пентан", nullptr, 72.15, 0.2345},
    {8, u"C5H12", u"2,2-Диметилпропан", u"нео-Пентан", 72.15, 0.2025},
    {9, u"C6H14", u"н-Гексан", nullptr, 86.177, 0.2846},
    {10, u"C6H14", u"2-Метилпентан", nullptr, 86.177, 0.2846},
    {11, u"C6H14", u"3-Метилпентан", nullptr, 86.177, 0.2846},
    {12, u"C6H14", u"2,2-Диметилбутан", nullptr, 86.177, 0.2846},
    {13, u"C6H14", u"2,3-Диметилбутан", nullptr, 86.177, 0.2846},
    {14, u"C6H14", u"С6-1", nullptr, 86.177, 0.2846},
    {15, u"C6H14", u"С6-2", nullptr, 86.177, 0.2846},
    {16, u"C6H14", u"С6-3", nullptr, 86.177, 0.2846},
    {17, u"C6H14", u"С6-4", nullptr, 86.177, 0.2846},
    {18, u"C6H14", u"С6-5", nullptr, 86.177, 0.2846},
    {19, u"C6H14", u"С6-6", nullptr, 86.177, 0.2846},
    {20, u"C6H14", u"С6+", nullptr, 86.177, 0.2846},
    {21, u"C7H16", u"н-Гептан", nullptr, 100.204, 0.3521},
    {22, u"C7H16", u"С7-1", nullptr, 100.204, 0.3521},
    {23, u"C7H16", u"С7-2", nullptr, 100.204, 0.3521},
    {24, u"C7H16", u"С7-3", nullptr, 100.204, 0.3521},
    {25, u"C7H16", u"С7-4", nullptr, 100.204, 0.3521},
    {26, u"C7H16", u"С7-5", nullptr, 100.204, 0.3521},
    {27, u"C7H16", u"С7-6", nullptr, 100.204, 0.3521},
    {28, u"C7H16", u"С7-7", nullptr, 100.204, 0.3521},
    {29, u"C7H16", u"С7-8", nullptr, 100.204, 0.3521},
    {30, u"C7H16", u"С7-9", nullptr, 100.204, 0.3521},
    {31, u"C7H16", u"С7+", nullptr, 100.204, 0.3521},
    {32, u"C8H18", u"н-Октан", nullptr, 114.231, 0.4278},
    {33, u"C8H18", u"С8-1", nullptr, 114.231, 0.4278},
    {34, u"C8H18", u"С8-2", nullptr, 114.231, 0.4278},
    {35, u"C8H18", u"С8-3", nullptr, 114.231, 0.4278},
    {36, u"C8H18", u"С8-4", nullptr, 114.231, 0.4278},
    {37, u"C8H18", u"С8-5", nullptr, 114.231, 0.4278},
    {38, u"C8H18", u"С8-6", nullptr, 114.231, 0.4278},
    {39, u"C8H18", u"С8-7", nullptr, 114.231, 0.4278},
    {40, u"C8H18", u"С8-8", nullptr, 114.231, 0.4278},
    {41, u"C8H18", u"С8-9", nullptr, 114.231, 0.4278},
    {42, u"C8H18", u"С8-10", nullptr, 114.231, 0.4278},
    {43, u"C8H18", u"С8-11", nullptr, 114.231, 0.4278},
    {44, u"C8H18", u"С8-12", nullptr, 114.231, 0.4278},
    {45, u"C8H18", u"С8-13", nullptr, 114.231, 0.4278},
    {46, u"C8H18", u"С8-14", nullptr, 114.231, 0.4278},
    {47, u"C8H18", u"С8-15", nullptr, 114.231, 0.4278},
    {48, u"C8H18", u"С8-16", nullptr, 114.231, 0.4278},
    {49, u"C8H18", u"С8-17", nullptr, 114.231, 0.4278},
    {50, u"C8H18", u"С8-18", nullptr, 114.231, 0.4278},
    {51, u"C8H18", u"С8+", nullptr, 114.231, 0.4278},
    {52, u"C9H20", u"н-Нонан", nullptr, 128.258, 0.5148},
    {53, u"C10H22", u"н-Декан", nullptr, 142.285, 0.614},
    {54, u"C2H4", u"Этилен", nullptr, 28.054, 0.0775},
    {55, u"C3H6", u"Пропилен", nullptr, 42.081, 0.1225},
    {56, u"C4H8", u"1-Бутен", nullptr, 56.108, 0.1673},
    {57, u"C4H8", u"цис-2-Бутен", nullptr, 56.108, 0.1761},
    {58, u"C4H8", u"транс-2-Бутен", nullptr, 56.108, 0.1761},
    {59, u"C4H8", u"2-Метилпропен", nullptr, 56.108, 0.1673},
    {60, u"C5H10", u"1-Пентен", nullptr, 70.134, 0.2191},
    {61, u"C3H4", u"Пропадиен", nullptr, 40.065, 0.1265},
    {62, u"C4H6", u"1,2-Бутадиен", nullptr, 54.092, 0.1871},
    {63, u"C4H6", u"1,3-Бутадиен", nullptr, 54.092, 0.1643},
    {64, u"C2H2", u"Ацетилен", nullptr, 26.038, 0.0837},
    {65, u"C5H10", u"Циклопентан", nullptr, 70.134, 0.2236},
    {66, u"C6H12", u"Метилциклопентан", nullptr, 84.161, 0.2702},
    {67, u"C7H14", u"Этилциклопентан", nullptr, 98.188, 0.3391},
    {68, u"C6H12", u"Циклогексан", nullptr, 84.161, 0.2757},
    {69, u"C7H14", u"Метилциклогексан", nullptr, 98.188, 0.3256},
    {70, u"C8H16", u"Этилциклогексан", nullptr, 112.215, 0.4025},
    {71, u"C6H6", u"Бензол", nullptr, 78.114, 0.253},
    {72, u"C7H9", u"Толуол", nullptr, 92.141, 0.3286},
    {73, u"C8H11", u"Этилбензол", nullptr, 106.167, 0.4037},
    {74, u"C8H10", u"о-Ксилол", nullptr, 106.167, 0.4231},
    {75, u"CH4O", u"Метанол", nullptr, 32.042, 0.3286},
    {76, u"СН3SH", u"Метантиол", nullptr, 48.109, 0.1483},
    {77, u"H2", u"Водород", nullptr, 2.0159, -0.0051},
    {78, u"H2O", u"Вода", nullptr, 18.0153, 0.2191},
    {79, u"H2S", u"Сульфид водорода", nullptr, 34.082, 0.1},
    {80, u"NH3", u"Аммиак", nullptr, 17.0306, 0.1049},
    {81, u"HCN", u"Цианид водорода", nullptr, 27.026, 0.2828},
    {82, u"CO", u"Монооксид углерода", nullptr, 28.01, 0.02},
    {83, u"COS", u"Карбонилсульфид", nullptr, 60.076, 0.1095},
    {84, u"CS2", u"Дисульфид углерода", nullptr, 76.143, 0.1871},
    {85, u"He", u"Гелий", nullptr, 4.0026, 0},
    {86, u"Ne", u"Неон", nullptr, 20.1797, 0},
    {87, u"Ar", u"Аргон", nullptr, 39.948, 0.0265},
    {88, u"N2", u"Азот", nullptr, 28.0135, 0.0173},
    {89, u"O2", u"Кислород", nullptr, 31.9988, 0.0265},
    {90, u"CO2", u"Диоксид углерода", nullptr, 44.01, 0.0728},
    {91, u"SO2", u"Диоксид серы", nullptr, 64.065, 0.1414},
    {92, u"NO", u"Монооксид диазота", nullptr, 44.0129, 0},
    {93, u"Cr", u"Криптон", nullptr, 83.8, 0},
    {94, u"Xe", u"Ксенон", nullptr, 131.29, 0},
    {95, u"N2+O2", u"Воздух", nullptr, 28.9626, 0},
    {96, u"C11H24", u"н-Ундекан", nullptr, 156.31, 0},
    {97, u"C12H26", u"н-Додекан", nullptr, 170.34, 0},
    {98, u"RSH", u"Меркаптаны", nullptr, 0, 0},
    {99, u"C6H14", u"Группа С6", nullptr, 86.177, 0.2846},
    {100, u"C7H16", u"Группа С7", nullptr, 100.204, 0.3521},
    {101, u"C8H18", u"Группа С8", nullptr, 114.231, 0.4278},
    {102, u"C9H20", u"Группа С9", nullptr, 128.258, 0.5148},
    {103, u"C10H22", u"Группа С10", nullptr, 142.285, 0.614},
    {104, u"C11H24", u"Группа С11", nullptr, 156.31, 0},
    {105, u"C12H26", u"Группа С12", nullptr, 170.34, 0},
    {106, u"C2Н5SH", u"Этантиол", nullptr, 62.13, 0},
    {107, u"(CН3)2S", u"Диметилсульфид", nullptr, 62.14, 0},
    {108, u"(CН3)2CНSН", u"и-Пропилмеркаптан", nullptr, 76.16, 0},
    {109, u"н-C3Н7SН", u"н-Пропилмеркаптан", nullptr, 76.16, 0},
    {110, u"C4H4S", u"Тиофен", nullptr, 84.14, 0},
    {111, u"C4Н8S", u"Тетрагидротиофен", nullptr, 88.17, 0},
    {112, u"(CН3)2CНCН2SН", u"и-Бутилмеркаптан", nullptr, 90.19, 0},
    {113, u"CН3(CН2)3SН", u"н-Бутилмеркаптан", nullptr, 90.19, 0},
    {114, u"CH3CH2CH(SH)CH3", u"втор-Бутилмеркаптан", nullptr, 90.19, 0},
    {115, u"(CH3)3CSH", u"трет-Бутилмеркаптан", nullptr, 90.19, 0},
    {116, u"(C2Н5)2S", u"Диэтилсульфид", nullptr, 90.19, 0},
    {117, u"(CН3)2S2", u"Диметилдисульфид", nullptr, 94.2, 0},
    {118, u"C6H8S", u"2-Этилтиофен", nullptr, 112.19, 0},
    {119, u"C6H8S", u"2,5-Диметилтиофен", nullptr, 112.19, 0},
    {120, u"(C2Н5)2S2", u"Диэтилдисульфид", nullptr, 122.25, 0},
};

QString text(const char16_t* s)
{
    return QString::fromUtf16(s);
}

QString altNameValue(std::int32_t id)
{
    return QString::asprintf("%d_", id) + QStringLiteral("altName");
}

} // namespace

QString GasComponentKey(const QString& text)
{
    return text.toLower();
}

QString GasComponentTable::SectionName()
{
    return QStringLiteral("Components\\Gas");
}

GasComponentTable& GasComponentTable::Global()
{
    static GasComponentTable table;
    return table;
}

const GasComponent& GasComponentTable::add(const QString& formula, const QString& name,
                                           const QString& searchName, double molarMass,
                                           double summationFactor)
{
    const std::int32_t id = m_nextId++;
    const auto [it, inserted] = m_byName.try_emplace(
        GasComponentKey(name), GasComponent{id, formula, name, searchName, molarMass, summationFactor});
    (void)inserted;  // a taken name keeps its first record
    return it->second;
}

const GasComponent& GasComponentTable::AddGasComponent(const QString& formula, const QString& name,
                                                       double summationFactor, double molarMass)
{
    return add(formula, name, name, molarMass, summationFactor);
}

const GasComponent& GasComponentTable::AddGasComponentAlt(const QString& formula, const QString& name,
                                                          const QString& searchName, double molarMass,
                                                          double summationFactor)
{
    return add(formula, name, searchName, molarMass, summationFactor);
}

GasComponentList GasComponentTable::makeList(std::initializer_list<const char16_t*> names) const
{
    GasComponentList list;
    list.reserve(names.size());
    for (const char16_t* name : names) {
        if (const GasComponent* c = FindComponentByName(text(name)))
            list.push_back(c);
    }
    return list;
}

void GasComponentTable::FillDefaultGasComponents()
{
    if (!m_fillPending)
        return;
    m_fillPending = false;

    for (const DefaultGasRow& row : kDefaultGasRows) {
        if (row.searchName)
            AddGasComponentAlt(text(row.formula), text(row.name), text(row.searchName),
                               row.molarMass, row.summationFactor);
        else
            AddGasComponent(text(row.formula), text(row.name), row.summationFactor, row.molarMass);
    }

    m_c1c5 = makeList({u"Метан", u"Этан", u"Пропан", u"2-Метилпропан", u"н-Бутан", u"Циклопентан", u"2-Метилбутан", u"н-Пентан", u"2,2-Диметилпропан"});
    m_c3c4 = makeList({u"Пропан", u"2-Метилпропан", u"н-Бутан"});
    m_c5 = makeList({u"Циклопентан", u"2-Метилбутан", u"н-Пентан", u"2,2-Диметилпропан"});
    m_c6 = makeList({u"Бензол", u"Метилциклопентан", u"Циклогексан", u"н-Гексан", u"2-Метилпентан", u"3-Метилпентан", u"2,2-Диметилбутан", u"2,3-Диметилбутан", u"С6-1", u"С6-2", u"С6-3", u"С6-4", u"С6-5", u"С6-6", u"С6+"});
    m_c7 = makeList({u"Толуол", u"Этилциклопентан", u"Метилциклогексан", u"н-Гептан", u"С7-1", u"С7-2", u"С7-3", u"С7-4", u"С7-5", u"С7-6", u"С7-7", u"С7-8", u"С7-9", u"С7+"});
    m_c8 = makeList({u"Этилбензол", u"Этилциклогексан", u"о-Ксилол", u"н-Октан", u"С8-1", u"С8-2", u"С8-3", u"С8-4", u"С8-5", u"С8-6", u"С8-7", u"С8-8", u"С8-9", u"С8-10", u"С8-11", u"С8-12", u"С8-13", u"С8-14", u"С8-15", u"С8-16", u"С8-17", u"С8-18", u"С8+"});
    m_sulphur = makeList({u"Сульфид водорода", u"Метантиол", u"Карбонилсульфид", u"Этантиол", u"Диметилсульфид", u"Дисульфид углерода", u"и-Пропилмеркаптан", u"н-Пропилмеркаптан", u"Тиофен", u"Тетрагидротиофен", u"и-Бутилмеркаптан", u"н-Бутилмеркаптан", u"втор-Бутилмеркаптан", u"трет-Бутилмеркаптан", u"Диэтилсульфид", u"Диметилдисульфид", u"2-Этилтиофен", u"2,5-Диметилтиофен", u"Диэтилдисульфид"});
    m_mercaptans = makeList({u"Метантиол", u"Этантиол", u"и-Пропилмеркаптан", u"н-Пропилмеркаптан", u"и-Бутилмеркаптан", u"н-Бутилмеркаптан", u"втор-Бутилмеркаптан", u"трет-Бутилмеркаптан"});
    m_groupsC6C12 = makeList({u"Группа С6", u"Группа С7", u"Группа С8", u"Группа С9", u"Группа С10", u"Группа С11", u"Группа С12"});
}

void GasComponentTable::LoadSettings(const Profile& profile)
{
    if (!m_loadPending)
        return;
    m_loadPending = false;

    const QString section = SectionName();
    for (auto& [key, component] : m_byName) {
        const QString stored = profile.readString(section, altNameValue(component.id), QString());
        if (!stored.isEmpty())
            component.searchName = stored;
    }
    // "qtyComps" is kept for older readers of the section; nothing here needs it.
    (void)profile.readInt(section, QStringLiteral("qtyComps"), 0);
}

void GasComponentTable::SaveSettings(Profile& profile)
{
    const QString section = SectionName();
    profile.writeInt(section, QStringLiteral("qtyComps"), static_cast<int>(m_bySearchName.size()));
    for (auto& [key, entry] : m_bySearchName) {
        if (!entry.modified)
            continue;
        if (entry.altNameSet)
            profile.writeString(section, altNameValue(entry.component->id), entry.component->searchName);
        entry.modified = false;
    }
}

bool GasComponentTable::HasUnsavedSearchNames() const
{
    return std::any_of(m_bySearchName.begin(), m_bySearchName.end(),
                       [](const auto& item) { return item.second.modified; });
}

void GasComponentTable::RebuildSearchIndex()
{
    m_bySearchName.clear();
    for (const auto& [key, component] : m_byName)
        m_bySearchName.try_emplace(GasComponentKey(component.searchName), GasSearchEntry{&component, false, false});
}

void GasComponentTable::Build(const Profile* profile)
{
    FillDefaultGasComponents();
    if (profile)
        LoadSettings(*profile);
    RebuildSearchIndex();
}

const GasComponent* GasComponentTable::FindComponentByName(const QString& name) const
{
    const auto it = m_byName.find(GasComponentKey(name));
    return it == m_byName.end() ? nullptr : &it->second;
}

const GasSearchEntry* GasComponentTable::FindComponentBySearchName(const QString& searchName) const
{
    const auto it = m_bySearchName.find(GasComponentKey(searchName));
    return it == m_bySearchName.end() ? nullptr : &it->second;
}

QString GasComponentTable::GetComponentSearchName(const QString& name) const
{
    const GasComponent* c = FindComponentByName(name);
    return c ? c->searchName : QString();
}

GasComponent* GasComponentTable::findByIdMutable(std::int32_t id)
{
    for (auto& [key, component] : m_byName) {
        if (component.id == id)
            return &component;
    }
    return nullptr;
}

const GasSearchEntry* GasComponentTable::SetSearchName(std::int32_t componentId, const QString& newSearchName)
{
    GasComponent* component = findByIdMutable(componentId);
    if (!component)
        return nullptr;

    const QString newKey = GasComponentKey(newSearchName);
    // Taking another component's search key would leave one of the two
    // unreachable by any peak name, so such a name is refused.
    const auto taken = m_bySearchName.find(newKey);
    if (taken != m_bySearchName.end() && taken->second.component != component)
        return nullptr;

    const auto old = m_bySearchName.find(GasComponentKey(component->searchName));
    if (old != m_bySearchName.end() && old->second.component == component)
        m_bySearchName.erase(old);

    component->searchName = newSearchName;
    GasSearchEntry& entry = m_bySearchName[newKey];
    entry.component = component;
    entry.modified = true;
    entry.altNameSet = true;
    return &entry;
}

const GasComponent* FindComponentByName(const QString& name)
{
    return GasComponentTable::Global().FindComponentByName(name);
}

const GasSearchEntry* FindComponentBySearchName(const QString& searchName)
{
    return GasComponentTable::Global().FindComponentBySearchName(searchName);
}

QString GetComponentSearchName(const QString& name)
{
    return GasComponentTable::Global().GetComponentSearchName(name);
}
