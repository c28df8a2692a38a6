#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "calc/CalcData.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "support/CalcInputs.h"

namespace calc_inputs {

// A whole recalculation over records and cylinders the test sets up, with the
// built-in reference tables and default settings.
class RecalculationTest : public ::testing::Test
{
protected:
    RecalculationTest() { data.SetReferenceTables(tables.gas, tables.temp); }

    void Recalculate()
    {
        log.ClearMessages();
        data.Recalculate(&cylinders, &records, &settings, log);
    }

    ReferenceTables tables;
    CSettings settings;
    MixtureList cylinders;
    std::vector<ChromatogramRecord> records;
    MessageLog log;
    CalcData data;
};

} // namespace calc_inputs
