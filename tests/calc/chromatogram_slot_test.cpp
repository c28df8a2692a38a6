#include <gtest/gtest.h>

#include <QSet>
#include <QString>

#include <limits>

#include "calc/ChromatogramSlot.h"

namespace {

QString U8(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(ChromatogramSlotNames, holdOneNamePerSlot)
{
    EXPECT_EQ(ChromatogramSlotCount, 43);
    EXPECT_EQ(ChromatogramSlotNames.size(), 43u);
    EXPECT_EQ(SlotNone, 0);
    EXPECT_EQ(SlotDcC6C44_3, 42);
}

TEST(ChromatogramSlotNames, giveTheExactTexts)
{
    EXPECT_EQ(ChromatogramSlotName(0), U8("None"));
    EXPECT_EQ(ChromatogramSlotName(1), U8("Холостая"));
    EXPECT_EQ(ChromatogramSlotName(2), U8("ГС Анализ 1"));
    EXPECT_EQ(ChromatogramSlotName(12), U8("ГС ССС 3"));
    EXPECT_EQ(ChromatogramSlotName(23), U8("ГД Калибровка 5"));
    EXPECT_EQ(ChromatogramSlotName(30), U8("ДК С1С5 1"));
    EXPECT_EQ(ChromatogramSlotName(33), U8("ДК Температурная"));
    EXPECT_EQ(ChromatogramSlotName(42), U8("ДК С6С44 3"));
}

TEST(ChromatogramSlotNames, enumeratorsNameTheirSlots)
{
    EXPECT_EQ(ChromatogramSlotName(SlotBlank), U8("Холостая"));
    EXPECT_EQ(ChromatogramSlotName(SlotGsMethanol2), U8("ГС Метанол 2"));
    EXPECT_EQ(ChromatogramSlotName(SlotGdCalibration1), U8("ГД Калибровка 1"));
    EXPECT_EQ(ChromatogramSlotName(SlotDcTemperature), U8("ДК Температурная"));
    EXPECT_EQ(ChromatogramSlotName(SlotDcSulphur1), U8("ДК ССС 1"));
    EXPECT_EQ(ChromatogramSlotName(SlotDcC6C44_1), U8("ДК С6С44 1"));
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
    EXPECT_TRUE(ChromatogramSlotName(-1).isEmpty());
    EXPECT_TRUE(ChromatogramSlotName(43).isEmpty());
    EXPECT_TRUE(ChromatogramSlotName(std::numeric_limits<int>::max()).isEmpty());
    EXPECT_TRUE(ChromatogramSlotName(std::numeric_limits<int>::min()).isEmpty());
    EXPECT_FALSE(IsChromatogramSlot(-1));
    EXPECT_FALSE(IsChromatogramSlot(43));
    EXPECT_TRUE(IsChromatogramSlot(0));
    EXPECT_TRUE(IsChromatogramSlot(42));
}
