#include <gtest/gtest.h>

#include "data/Lattice.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// Samples 1, 3, 2 at 10.0, 10.5 and 11.0 minutes.
CLattice threeSamples() { return CLattice({1.0f, 3.0f, 2.0f}, 10.0, 0.5); }

} // namespace

TEST(CLatticeValueAt, returnsSamplesAtTheirTimesAndInterpolatesBetween)
{
    const CLattice s = threeSamples();
    EXPECT_DOUBLE_EQ(s.ValueAt(10.0), 1.0);
    EXPECT_DOUBLE_EQ(s.ValueAt(10.5), 3.0);
    EXPECT_DOUBLE_EQ(s.ValueAt(11.0), 2.0); // from the last segment
    EXPECT_DOUBLE_EQ(s.ValueAt(10.25), 2.0);
    EXPECT_DOUBLE_EQ(s.ValueAt(10.75), 2.5);
}

TEST(CLatticeValueAt, extrapolatesAlongTheFirstAndLastSegments)
{
    const CLattice s = threeSamples();
    // One step before the start: 2*y0 - y1; one step after the end: 2*y2 - y1.
    EXPECT_DOUBLE_EQ(s.ValueAt(9.5), -1.0);
    EXPECT_DOUBLE_EQ(s.ValueAt(11.5), 1.0);
}

TEST(CLatticeValueAt, takesTheFirstSampleWhenTheStepIsZero)
{
    const CLattice s({1.0f, 3.0f, 2.0f}, 5.0, 0.0);
    EXPECT_DOUBLE_EQ(s.ValueAt(5.0), 1.0);  // 0/0
    EXPECT_DOUBLE_EQ(s.ValueAt(7.0), 1.0);  // +inf
    EXPECT_DOUBLE_EQ(s.ValueAt(-3.0), 1.0); // -inf
}

TEST(CLatticeValueAt, givesNotANumberForANonFiniteStepOrTime)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(CLattice({1.0f, 3.0f}, 0.0, nan).ValueAt(1.0)));
    EXPECT_TRUE(std::isnan(CLattice({1.0f, 3.0f}, 0.0, std::numeric_limits<double>::infinity()).ValueAt(1.0)));
    EXPECT_TRUE(std::isnan(threeSamples().ValueAt(nan)));
}

TEST(CLatticeValueAt, clampsSegmentIndicesBeyondThirtyTwoBitsToTheEndSegments)
{
    const CLattice s({1.0f, 3.0f, 2.0f}, 0.0, 0.5);
    // (1e12 - 0.5) / 0.5 steps along the last segment, whose slope is -1 per step.
    EXPECT_DOUBLE_EQ(s.ValueAt(1e12), -1999999999996.0);
    EXPECT_DOUBLE_EQ(s.ValueAt(-1e12), 1.0 - 4e12);
    const CLattice tiny({1.0f, 3.0f, 2.0f}, 0.0, 1e-300);
    EXPECT_NEAR(tiny.ValueAt(1.0) / -1e300, 1.0, 1e-12);
    EXPECT_NEAR(tiny.ValueAt(-1.0) / -2e300, 1.0, 1e-12);
}

TEST(CLatticeValueAt, refusesSignalsOfFewerThanTwoSamples)
{
    EXPECT_THROW(CLattice().ValueAt(0.0), std::invalid_argument);
    EXPECT_THROW(CLattice({4.0f}, 0.0, 1.0).ValueAt(0.0), std::invalid_argument);
}

TEST(CLatticeCopy, copiesOwnTheirSamplesAndCheckTheirIndices)
{
    CLattice original = threeSamples();
    CLattice copy;
    copy = original;
    original.samples()[1] = 7.0f;
    original.setStart(0.0);
    EXPECT_EQ(copy.at(1), 3.0f);
    EXPECT_EQ(copy.start(), 10.0);
    EXPECT_EQ(copy.step(), 0.5);
    EXPECT_THROW(copy.at(3), std::invalid_argument);
    EXPECT_THROW(copy.at(-1), std::invalid_argument);
}

TEST(CLatticeCopy, copiesShareTheirSamplesUntilEitherChangesThem)
{
    // Each way of changing one of two copies leaves the other's samples as they were.
    const struct
    {
        const char* what;
        void (*change)(CLattice&);
        std::vector<float> changed;
    } cases[] = {
        {"one sample written", [](CLattice& s) { s.samples()[0] = 9.0f; }, {9.0f, 3.0f, 2.0f}},
        {"resized", [](CLattice& s) { s.samples().resize(1); }, {1.0f}},
        {"replaced", [](CLattice& s) { s.setSamples(SampleVector{4.0f, 5.0f}); }, {4.0f, 5.0f}},
        {"assigned an empty signal", [](CLattice& s) { s = CLattice(); }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool changeTheCopy : {false, true}) {
            CLattice original = threeSamples();
            CLattice copy = original;
            EXPECT_EQ(std::as_const(copy).samples().data(), std::as_const(original).samples().data());
            c.change(changeTheCopy ? copy : original);
            const CLattice& changed = changeTheCopy ? copy : original;
            const CLattice& other = changeTheCopy ? original : copy;
            EXPECT_EQ(std::vector<float>(changed.samples().begin(), changed.samples().end()), c.changed);
            EXPECT_EQ(std::vector<float>(other.samples().begin(), other.samples().end()),
                      (std::vector<float>{1.0f, 3.0f, 2.0f}));
            EXPECT_EQ(other.start(), 10.0);
        }
    }
}

TEST(CLatticeCopy, aSignalWithoutSamplesCanBeReadAndFilled)
{
    CLattice empty;
    CLattice moved = threeSamples();
    CLattice taker = std::move(moved);
    for (CLattice* s : {&empty, &moved}) {
        EXPECT_EQ(s->size(), 0);
        EXPECT_TRUE(std::as_const(*s).samples().empty());
        EXPECT_THROW(s->at(0), std::invalid_argument);
        s->samples().assign({6.0f, 7.0f});
        EXPECT_EQ(s->at(1), 7.0f);
    }
    EXPECT_EQ(taker.size(), 3);
}
