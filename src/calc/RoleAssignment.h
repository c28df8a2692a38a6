#pragma once

#include <QString>

#include <vector>

#include "data/Mixtures.h"

struct ChromatogramRecord;
class GeneralSettings;
class TypeRuleTable;

// Gives every listed chromatogram its role (ChromatogramSlot) and type name
// from the chromatogram-type table and the analysis counts. The records must
// already be in list order (sorted): within a role the earlier record takes
// the lower slot.

// The tokens of a pattern text: runs of characters outside the separators,
// each trimmed; a token that is blank between two separators stays as an
// empty token, while leading, doubled and trailing separators give none.
std::vector<QString> SplitRuleText(const QString& text, const QString& separators);

// Fills one family's slots from the candidates, which are taken by value
// since the family filters them. count: the family's number of slots;
// firstSlot: its first slot. Each method token counts its own runs, so the
// runs of two method tokens may share a slot. A matching run that finds its
// token's slots full keeps the family's type text as left out of it. The
// type name shows the cylinder a calibration run is computed against
// (CalibrationCylinder).
void MatchTypeRule(std::vector<ChromatogramRecord*> candidates, int count, int firstSlot,
                   const TypeRuleTable& rules, const MixtureList& cylinders = MixtureList());

// Clears every role, type name and left-out mark, then serves the families in their fixed
// order (calibrations before the analyses of the same gas); a record keeps
// the first role it gets.
void AssignCalculationTypes(std::vector<ChromatogramRecord>& records, const GeneralSettings& general,
                            const MixtureList& cylinders = MixtureList());

// The cylinder a run in a calibration slot is computed against: the one it
// names among the cylinders of the slot's gas (a marked run's own match),
// else the first of that gas in the list. No cylinder outside the
// calibration slots, nor where the list holds none of that gas.
struct RunCylinder
{
    MixturePtr mixture;
    bool named = false;  // false: taken for want of one named
    // Taken though the sample names a cylinder of another gas: a mistyped
    // sample, worth a warning even where the gas has one cylinder.
    bool otherNamed = false;
};
RunCylinder CalibrationCylinder(const ChromatogramRecord& record, int slot, const MixtureList& cylinders);
