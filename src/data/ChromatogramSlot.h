#pragma once

#include <QString>

#include <array>

// The role of a chromatogram in the calculation. Records keep it as a plain
// int, and calculators address the parallel runs of a role as first slot + i,
// so the enumeration stays unscoped and int-valued.
enum ChromatogramSlot : int {
    SlotNone = 0,
    SlotBlank = 1,

    SlotGsAnalysis1 = 2,
    SlotGsAnalysis2 = 3,
    SlotGsAnalysis3 = 4,
    SlotGsCalibration1 = 5,
    SlotGsCalibration2 = 6,
    SlotGsCalibration3 = 7,
    SlotGsCalibration4 = 8,
    SlotGsCalibration5 = 9,
    SlotGsSulphur1 = 10,
    SlotGsSulphur2 = 11,
    SlotGsSulphur3 = 12,
    SlotGsMethanol1 = 13,
    SlotGsMethanol2 = 14,
    SlotGsMethanol3 = 15,

    SlotGdAnalysis1 = 16,
    SlotGdAnalysis2 = 17,
    SlotGdAnalysis3 = 18,
    SlotGdCalibration1 = 19,
    SlotGdCalibration2 = 20,
    SlotGdCalibration3 = 21,
    SlotGdCalibration4 = 22,
    SlotGdCalibration5 = 23,
    SlotGdSulphur1 = 24,
    SlotGdSulphur2 = 25,
    SlotGdSulphur3 = 26,
    SlotGdMethanol1 = 27,
    SlotGdMethanol2 = 28,
    SlotGdMethanol3 = 29,

    SlotDcC1C5_1 = 30,
    SlotDcC1C5_2 = 31,
    SlotDcC1C5_3 = 32,
    SlotDcTemperature = 33,
    SlotDcSulphur1 = 34,
    SlotDcSulphur2 = 35,
    SlotDcSulphur3 = 36,
    SlotDcMethanol1 = 37,
    SlotDcMethanol2 = 38,
    SlotDcMethanol3 = 39,
    SlotDcC6C44_1 = 40,
    SlotDcC6C44_2 = 41,
    SlotDcC6C44_3 = 42,
};

inline constexpr int ChromatogramSlotCount = 43;

// Display names by slot id, as the chromatogram list and the messages show them.
extern const std::array<QString, ChromatogramSlotCount> ChromatogramSlotNames;

// True for the ids 0..42.
bool IsChromatogramSlot(int id);

// The display name of a slot id; an empty string for an id outside 0..42, so a
// damaged role never reads past the table.
QString ChromatogramSlotName(int id);
