#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "data/GasComponents.h"
#include "platform/Profile.h"
#include "support/ProfileDir.h"

namespace {

const QString& kSection = profile_sections::GasComponents;

std::vector<int> idsOf(const GasComponentList& list)
{
    std::vector<int> ids;
    for (const GasComponent* c : list)
        ids.push_back(c->id);
    return ids;
}

int idBySearchName(const GasComponentTable& table, const QString& text)
{
    const GasSearchEntry* e = table.FindComponentBySearchName(text);
    return e ? e->component->id : -1;
}

int idByName(const GasComponentTable& table, const QString& text)
{
    const GasComponent* c = table.FindComponentByName(text);
    return c ? c->id : -1;
}

class GasComponentTableTest : public testsupport::ProfileDirTest
{
protected:
    void SetUp() override { table.Build(nullptr); }

    GasComponentTable table;
};

} // namespace

TEST_F(GasComponentTableTest, holdsOneHundredTwentyComponentsNumberedInTableOrder)
{
    ASSERT_EQ(table.byName().size(), 120u);
    ASSERT_EQ(table.bySearchName().size(), 120u);
    std::vector<int> ids;
    for (const auto& [key, c] : table.byName())
        ids.push_back(c.id);
    std::sort(ids.begin(), ids.end());
    for (int i = 0; i < 120; ++i)
        EXPECT_EQ(ids[static_cast<std::size_t>(i)], i + 1);

    const struct {
        const char* name;
        int id;
        double molarMass, summationFactor;
        const char* formula; // nullptr: not compared
    } samples[] = {
        {"Метан", 1, 16.043, 0.0436, "CH4"},
        {"Водород", 77, 2.0159, -0.0051, nullptr},
        {"Меркаптаны", 98, 0.0, 0.0, nullptr},
        {"Диэтилдисульфид", 120, 122.25, 0.0, nullptr},
    };
    for (const auto& e : samples) {
        SCOPED_TRACE(e.name);
        const GasComponent* c = table.FindComponentByName(QString::fromUtf8(e.name));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->id, e.id);
        EXPECT_DOUBLE_EQ(c->molarMass, e.molarMass);
        EXPECT_DOUBLE_EQ(c->summationFactor, e.summationFactor);
        if (e.formula) {
            EXPECT_EQ(c->formula, QString::fromLatin1(e.formula));
        }
    }
}

TEST_F(GasComponentTableTest, summationFactorIsZeroExactlyWhereNoneIsKnown)
{
    std::vector<int> zero;
    for (const auto& [key, c] : table.byName()) {
        if (c.summationFactor == 0.0)
            zero.push_back(c.id);
    }
    std::sort(zero.begin(), zero.end());
    const std::vector<int> expected = {85, 86, 92, 93, 94, 95, 96, 97, 98, 104, 105, 106, 107, 108, 109,
                                       110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120};
    EXPECT_EQ(zero, expected);
}

TEST_F(GasComponentTableTest, findsByNameWhateverTheLetterCaseButOtherwiseExactly)
{
    EXPECT_EQ(idByName(table, QStringLiteral("МЕТАН")), 1);
    EXPECT_EQ(idByName(table, QStringLiteral("метан")), 1);
    EXPECT_EQ(idByName(table, QStringLiteral("Метан")), 1);
    EXPECT_EQ(idByName(table, QStringLiteral("Метан ")), -1);
    EXPECT_EQ(idByName(table, QStringLiteral("ГРУППА \u0421") + QStringLiteral("12")), 105);
    // С6-1 spelt with the Cyrillic С is a component; with the Latin C it is not.
    EXPECT_EQ(idByName(table, QString::fromUtf16(u"\u04216-1")), 14);
    EXPECT_EQ(idByName(table, QStringLiteral("C6-1")), -1);
    EXPECT_EQ(idByName(table, QString::fromUtf16(u"\u04418-18")), 50);  // lower-case Cyrillic с
    // Ё and е are different letters.
    EXPECT_EQ(idByName(table, QStringLiteral("Этилен")), 54);
    EXPECT_EQ(idByName(table, QStringLiteral("Этилён")), -1);
}

TEST_F(GasComponentTableTest, findsBySearchNameOnlyUnderTheCurrentSearchName)
{
    EXPECT_EQ(idBySearchName(table, QStringLiteral("И-БУТАН")), 4);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("и-пентан")), 6);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("НЕО-ПЕНТАН")), 8);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("2-Метилпропан")), -1);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("2-Метилбутан")), -1);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("2,2-Диметилпропан")), -1);
    EXPECT_EQ(idByName(table, QStringLiteral("2-Метилпропан")), 4);
    EXPECT_EQ(idByName(table, QStringLiteral("и-Бутан")), -1);

    EXPECT_EQ(table.GetComponentSearchName(QStringLiteral("2,2-Диметилпропан")), QStringLiteral("нео-Пентан"));
    EXPECT_EQ(table.GetComponentSearchName(QStringLiteral("н-Бутан")), QStringLiteral("н-Бутан"));
    EXPECT_TRUE(table.GetComponentSearchName(QStringLiteral("Флогистон")).isEmpty());
}

TEST_F(GasComponentTableTest, searchIndexRunsInCodeUnitOrderOfTheLowerCasedName)
{
    std::vector<int> order;
    for (const auto& [key, entry] : table.bySearchName())
        order.push_back(entry.component->id);
    ASSERT_EQ(order.size(), 120u);
    // 1,2-Бутадиен, 1,3-Бутадиен, 1-Бутен, 1-Пентен, 2,2-Диметилбутан ...
    EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 5), (std::vector<int>{62, 63, 56, 60, 12}));
    // ... Этилциклогексан, Этилциклопентан
    EXPECT_EQ(order[118], 70);
    EXPECT_EQ(order[119], 67);
    EXPECT_EQ(order[35], 4);  // 2-Метилпропан sorts under и-бутан, 36th
    EXPECT_EQ(order[44], 1);  // Метан, 45th
}

TEST_F(GasComponentTableTest, nineListsReferToTheCatalogueRecordsInOrder)
{
    EXPECT_EQ(idsOf(table.ComponentsC1C5()), (std::vector<int>{1, 2, 3, 4, 5, 65, 6, 7, 8}));
    EXPECT_EQ(idsOf(table.ComponentsC3C4()), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(idsOf(table.ComponentsC5()), (std::vector<int>{65, 6, 7, 8}));
    EXPECT_EQ(idsOf(table.ComponentsC6()),
              (std::vector<int>{71, 66, 68, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(idsOf(table.ComponentsC7()),
              (std::vector<int>{72, 67, 69, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}));
    std::vector<int> c8 = {73, 70, 74, 32};
    for (int id = 33; id <= 51; ++id)
        c8.push_back(id);
    EXPECT_EQ(idsOf(table.ComponentsC8()), c8);
    EXPECT_EQ(idsOf(table.ComponentGroupsC6C12()), (std::vector<int>{99, 100, 101, 102, 103, 104, 105}));
    EXPECT_EQ(idsOf(table.SulphurComponents()),
              (std::vector<int>{79, 76, 83, 106, 107, 84, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120}));
    EXPECT_EQ(idsOf(table.MercaptanComponents()), (std::vector<int>{76, 106, 108, 109, 112, 113, 114, 115}));

    // The list elements are the records themselves, so a search-name change shows through them.
    ASSERT_TRUE(table.SetSearchName(4, QStringLiteral("изобутан")));
    EXPECT_EQ(table.ComponentsC3C4()[1]->searchName, QStringLiteral("изобутан"));
    EXPECT_EQ(table.ComponentsC3C4()[1], table.FindComponentByName(QStringLiteral("2-Метилпропан")));
}

TEST_F(GasComponentTableTest, addingUnderATakenNameKeepsTheFirstRecordButUsesUpTheId)
{
    GasComponentTable fresh;
    const GasComponent& first = fresh.AddGasComponent(QStringLiteral("X"), QStringLiteral("Альфа"), 0.5, 10.0);
    EXPECT_EQ(first.id, 1);
    EXPECT_DOUBLE_EQ(first.summationFactor, 0.5);
    EXPECT_DOUBLE_EQ(first.molarMass, 10.0);
    const GasComponent& again = fresh.AddGasComponentAlt(QStringLiteral("Y"), QStringLiteral("АЛЬФА"),
                                                         QStringLiteral("бета"), 20.0, 0.7);
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.formula, QStringLiteral("X"));
    const GasComponent& next = fresh.AddGasComponentAlt(QStringLiteral("Z"), QStringLiteral("Гамма"),
                                                        QStringLiteral("дельта"), 30.0, 0.9);
    EXPECT_EQ(next.id, 3);
    EXPECT_EQ(next.searchName, QStringLiteral("дельта"));
    EXPECT_DOUBLE_EQ(next.molarMass, 30.0);
    EXPECT_DOUBLE_EQ(next.summationFactor, 0.9);
    // The search index follows only when rebuilt.
    EXPECT_EQ(fresh.FindComponentBySearchName(QStringLiteral("дельта")), nullptr);
    fresh.RebuildSearchIndex();
    EXPECT_EQ(idBySearchName(fresh, QStringLiteral("ДЕЛЬТА")), 3);
}

TEST_F(GasComponentTableTest, fillsTheDefaultsOnlyOnce)
{
    const GasComponent* before = table.FindComponentByName(QStringLiteral("Метан"));
    table.FillDefaultGasComponents();
    EXPECT_EQ(table.byName().size(), 120u);
    EXPECT_EQ(table.ComponentsC1C5().size(), 9u);
    EXPECT_EQ(table.FindComponentByName(QStringLiteral("Метан")), before);
    // Had the second fill run, the id counter would stand at 241.
    EXPECT_EQ(table.AddGasComponent(QString(), QStringLiteral("Новый"), 0.0, 1.0).id, 121);
}

TEST_F(GasComponentTableTest, changedSearchNameTakesEffectAtOnceAndTheOldOneIsGone)
{
    const GasSearchEntry* entry = table.SetSearchName(4, QStringLiteral("изобутан"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->component->id, 4);
    EXPECT_TRUE(entry->modified);
    EXPECT_TRUE(entry->altNameSet);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("Изобутан")), 4);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("и-Бутан")), -1);
    EXPECT_EQ(table.GetComponentSearchName(QStringLiteral("2-Метилпропан")), QStringLiteral("изобутан"));
    EXPECT_EQ(table.bySearchName().size(), 120u);

    // A second change works on the component's current entry.
    ASSERT_NE(table.SetSearchName(4, QStringLiteral("iC4")), nullptr);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("IC4")), 4);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("изобутан")), -1);
    EXPECT_EQ(table.bySearchName().size(), 120u);
}

TEST_F(GasComponentTableTest, changingOnlyTheLetterCaseReKeysTheSameEntryAndFlagsIt)
{
    const GasSearchEntry* entry = table.SetSearchName(4, QStringLiteral("И-Бутан"));
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->modified);
    EXPECT_EQ(entry->component->searchName, QStringLiteral("И-Бутан"));
    EXPECT_EQ(idBySearchName(table, QStringLiteral("и-бутан")), 4);
    EXPECT_EQ(table.bySearchName().size(), 120u);
}

TEST_F(GasComponentTableTest, refusesASearchNameThatAnotherComponentAlreadyAnswersTo)
{
    // н-Бутан's own search name, in another case: accepting it would leave
    // one of the two components unreachable.
    EXPECT_EQ(table.SetSearchName(4, QStringLiteral("Н-БУТАН")), nullptr);
    EXPECT_EQ(table.GetComponentSearchName(QStringLiteral("2-Метилпропан")), QStringLiteral("и-Бутан"));
    EXPECT_EQ(idBySearchName(table, QStringLiteral("и-Бутан")), 4);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("н-Бутан")), 5);
    EXPECT_FALSE(table.FindComponentBySearchName(QStringLiteral("н-Бутан"))->modified);
    EXPECT_EQ(table.bySearchName().size(), 120u);

    EXPECT_EQ(table.SetSearchName(999, QStringLiteral("что-то")), nullptr);
}

TEST_F(GasComponentTableTest, acceptsOneEmptySearchNameAndRefusesASecond)
{
    ASSERT_NE(table.SetSearchName(4, QString()), nullptr);
    EXPECT_EQ(idBySearchName(table, QString()), 4);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("и-Бутан")), -1);
    EXPECT_EQ(table.SetSearchName(6, QString()), nullptr);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("и-Пентан")), 6);
}

TEST_F(GasComponentTableTest, storedSearchNameReplacesTheBuiltInOneAtTheNextStart)
{
    {
        Profile profile(iniPath());
        profile.writeString(kSection, QStringLiteral("4_altName"), QStringLiteral("изобутан"));
        // The user once cleared this one; an empty value counts as absent.
        profile.writeString(kSection, QStringLiteral("6_altName"), QString());
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(iniPath());
    GasComponentTable loaded;
    loaded.Build(&profile);
    EXPECT_EQ(idBySearchName(loaded, QStringLiteral("Изобутан")), 4);
    EXPECT_EQ(idBySearchName(loaded, QStringLiteral("и-Бутан")), -1);
    EXPECT_EQ(idBySearchName(loaded, QStringLiteral("и-Пентан")), 6);
    // Loading marks nothing for saving.
    EXPECT_FALSE(loaded.FindComponentBySearchName(QStringLiteral("изобутан"))->modified);
    EXPECT_FALSE(loaded.FindComponentBySearchName(QStringLiteral("изобутан"))->altNameSet);
}

TEST_F(GasComponentTableTest, loadsTheProfileOnlyOnce)
{
    Profile profile(iniPath());
    GasComponentTable loaded;
    loaded.Build(&profile);
    profile.writeString(kSection, QStringLiteral("1_altName"), QStringLiteral("CH4"));
    loaded.LoadSettings(profile);
    loaded.RebuildSearchIndex();
    EXPECT_EQ(idBySearchName(loaded, QStringLiteral("Метан")), 1);
    EXPECT_EQ(idBySearchName(loaded, QStringLiteral("CH4")), -1);
}

TEST_F(GasComponentTableTest, savesOnlyTheSearchNamesEditedSinceTheLastSave)
{
    ASSERT_NE(table.SetSearchName(4, QStringLiteral("изобутан")), nullptr);
    {
        Profile profile(iniPath());
        table.SaveSettings(profile);
        ASSERT_TRUE(profile.sync());
    }
    {
        Profile profile(iniPath());
        EXPECT_EQ(profile.readInt(kSection, QStringLiteral("qtyComps"), 0), 120);
        EXPECT_EQ(profile.readString(kSection, QStringLiteral("4_altName"), QString()), QStringLiteral("изобутан"));
        EXPECT_FALSE(profile.contains(kSection, QStringLiteral("1_altName")));
        EXPECT_FALSE(profile.contains(kSection, QStringLiteral("5_altName")));

        // A second save without edits writes the count only.
        profile.deleteValue(kSection, QStringLiteral("4_altName"));
        profile.writeInt(kSection, QStringLiteral("qtyComps"), 0);
        table.SaveSettings(profile);
        EXPECT_EQ(profile.readInt(kSection, QStringLiteral("qtyComps"), 0), 120);
        EXPECT_FALSE(profile.contains(kSection, QStringLiteral("4_altName")));
    }
    // The flag for this run stays, the modification mark is gone.
    EXPECT_TRUE(table.FindComponentBySearchName(QStringLiteral("изобутан"))->altNameSet);
    EXPECT_FALSE(table.FindComponentBySearchName(QStringLiteral("изобутан"))->modified);
}

TEST_F(GasComponentTableTest, savedSearchNamesSurviveARestartAndAClearedOneFallsBack)
{
    ASSERT_NE(table.SetSearchName(8, QStringLiteral("неопентан")), nullptr);
    ASSERT_NE(table.SetSearchName(4, QStringLiteral("изобутан")), nullptr);
    {
        Profile profile(iniPath());
        table.SaveSettings(profile);
        ASSERT_TRUE(profile.sync());
    }
    GasComponentTable second;
    {
        Profile profile(iniPath());
        second.Build(&profile);
        EXPECT_EQ(idBySearchName(second, QStringLiteral("НЕОПЕНТАН")), 8);
        EXPECT_EQ(idBySearchName(second, QStringLiteral("изобутан")), 4);
        // Cleared in the second run: in force now, saved as an empty value.
        ASSERT_NE(second.SetSearchName(4, QString()), nullptr);
        EXPECT_EQ(idBySearchName(second, QString()), 4);
        second.SaveSettings(profile);
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(iniPath());
    GasComponentTable third;
    third.Build(&profile);
    EXPECT_EQ(idBySearchName(third, QStringLiteral("и-Бутан")), 4);
    EXPECT_EQ(idBySearchName(third, QStringLiteral("неопентан")), 8);
}
