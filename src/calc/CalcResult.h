#pragma once

#include <QString>

#include <map>
#include <vector>

#include "data/ChromatogramRecord.h"

class CSettings;
class GasComponentTable;
class MessageLog;
class TempComponentTable;

// The head every calculator result begins with. hasError is set by the
// calculators that cannot go on at all and by those that miss a setting they
// need; the others report through the log only.
template <typename Row>
struct CalcResult
{
    std::vector<Row> rows;
    int nParallel = 0;   // parallel chromatograms the calculation used
    bool hasError = false;
};

// The recognised peaks of each role, slot to peaks in table order.
using KnownPeakMap = std::map<int, std::vector<PeakItem>>;

// What every calculator reads besides its own inputs: the log its messages
// go to and the reference tables of the run.
struct CalcEnvironment
{
    MessageLog& log;
    const GasComponentTable& components;
    const TempComponentTable& temperatures;
};

// Arithmetic mean; 0 for no values. A parallel without a value enters as 0.
double Mean(const std::vector<double>& values);

// The error a calculation gives, under its prefix ("ДК Метанол"), for a
// setting it needs that is left at 0.
QString NotSetText(const QString& prefix, const QString& setting);

// The settings a calculator reads: the given ones, or the defaults when none
// are given.
const CSettings& SettingsOrDefaults(const CSettings* settings);
