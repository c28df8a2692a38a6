#include "data/ChromatogramSlot.h"

// All "С" in these names are Cyrillic, as the user sees them.
const std::array<QString, ChromatogramSlotCount> ChromatogramSlotNames = {
    QStringLiteral("None"), // 0
    QStringLiteral("Холостая"), // 1
    QStringLiteral("ГС Анализ 1"), // 2
    QStringLiteral("ГС Анализ 2"), // 3
    QStringLiteral("ГС Анализ 3"), // 4
    QStringLiteral("ГС Калибровка 1"), // 5
    QStringLiteral("ГС Калибровка 2"), // 6
    QStringLiteral("ГС Калибровка 3"), // 7
    QStringLiteral("ГС Калибровка 4"), // 8
    QStringLiteral("ГС Калибровка 5"), // 9
    QStringLiteral("ГС ССС 1"), // 10
    QStringLiteral("ГС ССС 2"), // 11
    QStringLiteral("ГС ССС 3"), // 12
    QStringLiteral("ГС Метанол 1"), // 13
    QStringLiteral("ГС Метанол 2"), // 14
    QStringLiteral("ГС Метанол 3"), // 15
    QStringLiteral("ГД Анализ 1"), // 16
    QStringLiteral("ГД Анализ 2"), // 17
    QStringLiteral("ГД Анализ 3"), // 18
    QStringLiteral("ГД Калибровка 1"), // 19
    QStringLiteral("ГД Калибровка 2"), // 20
    QStringLiteral("ГД Калибровка 3"), // 21
    QStringLiteral("ГД Калибровка 4"), // 22
    QStringLiteral("ГД Калибровка 5"), // 23
    QStringLiteral("ГД ССС 1"), // 24
    QStringLiteral("ГД ССС 2"), // 25
    QStringLiteral("ГД ССС 3"), // 26
    QStringLiteral("ГД Метанол 1"), // 27
    QStringLiteral("ГД Метанол 2"), // 28
    QStringLiteral("ГД Метанол 3"), // 29
    QStringLiteral("ДК С1С5 1"), // 30
    QStringLiteral("ДК С1С5 2"), // 31
    QStringLiteral("ДК С1С5 3"), // 32
    QStringLiteral("ДК Температурная"), // 33
    QStringLiteral("ДК ССС 1"), // 34
    QStringLiteral("ДК ССС 2"), // 35
    QStringLiteral("ДК ССС 3"), // 36
    QStringLiteral("ДК Метанол 1"), // 37
    QStringLiteral("ДК Метанол 2"), // 38
    QStringLiteral("ДК Метанол 3"), // 39
    QStringLiteral("ДК С6С44 1"), // 40
    QStringLiteral("ДК С6С44 2"), // 41
    QStringLiteral("ДК С6С44 3"), // 42
};

bool IsChromatogramSlot(int id)
{
    return id >= 0 && id < ChromatogramSlotCount;
}

QString ChromatogramSlotName(int id)
{
    if (!IsChromatogramSlot(id))
        return QString();
    return ChromatogramSlotNames[static_cast<std::size_t>(id)];
}
