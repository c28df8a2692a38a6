#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "calc/CondensateRow.h"
#include "support/NumericCompare.h"

namespace calc_inputs {

struct ExpectedCondensateRow
{
    const char* name;
    std::vector<double> conc;
    double mean, range, norm, uncertainty;
    bool ok;
};

// The rows from position first on, every field compared.
inline void ExpectCondensateRows(const CondensateResult& result, std::size_t first,
                                 std::initializer_list<ExpectedCondensateRow> rows)
{
    ASSERT_GE(result.rows.size(), first + rows.size());
    for (const ExpectedCondensateRow& e : rows) {
        const CondensateRow& row = result.rows[first++];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(row.name, QString::fromUtf8(e.name));
        EXPECT_ALL_REL_NEAR(row.conc, e.conc);
        EXPECT_ALL_REL_NEAR((std::vector<double>{row.mean, row.range, row.norm, row.uncertainty}),
                            {e.mean, e.range, e.norm, e.uncertainty});
        EXPECT_EQ(row.ok, e.ok);
    }
}

} // namespace calc_inputs
