#include <gtest/gtest.h>

#include <QSet>
#include <QString>

#include <limits>
#include <utility>

#include "data/ChromatogramSlot.h"

TEST(ChromatogramSlotNames, giveTheExactTextsByIdAndByEnumerator)
{
    const std::pair<int, const char*> names[] = {
        {0, "None"},
        {1, "Холостая"},
        {2, "ГС Анализ 1"},
        {12, "ГС ССС 3"},
        {23, "ГД Калибровка 5"},
        {30, "ДК С1С5 1"},
        {33, "ДК Температурная"},
        {42, "ДК С6С44 3"},
        {SlotBlank, "Холостая"},
        {SlotGsMethanol2, "ГС Метанол 2"},
        {SlotGdCalibration1, "ГД Калибровка 1"},
        {SlotDcTemperature, "ДК Температурная"},
        {SlotDcSulphur1, "ДК ССС 1"},
        {SlotDcC6C44_1, "ДК С6С44 1"},
        {SlotDcC6C44_3, "ДК С6С44 3"},
    };
    for (const auto& [id, name] : names)
        EXPECT_EQ(ChromatogramSlotName(id), QString::fromUtf8(name)) << id;
}

TEST(ChromatogramSlotNames, areDistinctAndCyrillicApartFromNone)
{
    QSet<QString> seen;
    for (int id = 0; id < ChromatogramSlotCount; ++id) {
        const QString name = ChromatogramSlotName(id);
        EXPECT_FALSE(name.isEmpty()) << id;
        EXPECT_FALSE(seen.contains(name)) << id;
        seen.insert(name);
        if (id == SlotNone)
            continue;
        // A Latin "C" would look the same on screen but break matching by name.
        for (QChar c : name)
            EXPECT_FALSE(c.isLetter() && c.unicode() < 0x80) << "Latin letter in slot " << id;
    }
}

TEST(ChromatogramSlotNames, giveNothingForAnIdOutsideTheTable)
{
    EXPECT_EQ(ChromatogramSlotCount, 43);
    EXPECT_TRUE(ChromatogramSlotName(-1).isEmpty());
    EXPECT_TRUE(ChromatogramSlotName(43).isEmpty());
    EXPECT_TRUE(ChromatogramSlotName(std::numeric_limits<int>::max()).isEmpty());
    EXPECT_TRUE(ChromatogramSlotName(std::numeric_limits<int>::min()).isEmpty());
    EXPECT_FALSE(IsChromatogramSlot(-1));
    EXPECT_FALSE(IsChromatogramSlot(43));
    EXPECT_TRUE(IsChromatogramSlot(0));
    EXPECT_TRUE(IsChromatogramSlot(42));
}
