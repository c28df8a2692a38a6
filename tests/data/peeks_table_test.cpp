#include <gtest/gtest.h>

#include "HandBytes.h"
#include "data/Lattice.h"
#include "data/PeeksTable.h"
#include "platform/Archive.h"
#include "support/AddressSpaceCap.h"
#include "support/StgWriter.h"

#include <limits>
#include <stdexcept>

using testsupport::peak;
using testsupport::StgPeak;
using testsupport::StgTable;

namespace {

// A flat zero signal from 0 to 10 minutes: peaks measured on it have area 0,
// so reading tests see the stored fields only.
const CLattice& flatSignal()
{
    static const CLattice s(std::vector<float>(11, 0.0f), 0.0, 1.0);
    return s;
}

CPeeksTable readTable(const QByteArray& stream, const CLattice& signal = flatSignal())
{
    CPeeksTable table;
    table.setSignal(&signal);
    table.ReadTable(stream);
    return table;
}

HandBytes tableHeader(std::int32_t version, std::uint32_t count)
{
    HandBytes b;
    b.u32(0x125FFE11u).u32(0xA2D28C45u).u32(static_cast<std::uint32_t>(version)).u32(count);
    return b;
}

// A version-0 record: end, start, concentration, 32 name bytes, next, 52 unread bytes.
void version0Record(HandBytes& b, std::uint64_t end, std::uint64_t start, std::uint64_t conc,
                    const QByteArray& name32, std::uint32_t next)
{
    b.f64bits(end).f64bits(start).f64bits(conc);
    b.text(name32.constData()).zeros(32 - name32.size());
    b.u32(next).bytes({0xAA}).zeros(51);
}

} // namespace

// ---------------------------------------------------------------- reading

TEST(CPeeksTableReading, readsHeaderlessVersionZeroWithEndBeforeStart)
{
    HandBytes b;
    version0Record(b, bits::k2, bits::k1, bits::k0_5, "C1", 1);
    // "Метан" in Windows-1251, filling all 32 bytes without a NUL.
    QByteArray longName("\xCC\xE5\xF2\xE0\xED");
    longName += QByteArray(27, 'x');
    version0Record(b, bits::k4, bits::k3, bits::k100, longName, 0xFFFFFFFFu);
    ASSERT_EQ(b.data().size(), 224);

    const CPeeksTable t = readTable(b.data());
    ASSERT_EQ(t.peaks().size(), 2u);
    const cmpeek& p0 = t.peaks()[0];
    EXPECT_EQ(p0.startTime, 1.0);
    EXPECT_EQ(p0.endTime, 2.0);
    EXPECT_EQ(p0.concentration, 0.5);
    EXPECT_EQ(p0.name, QStringLiteral("C1"));
    EXPECT_EQ(p0.next, 1);
    EXPECT_EQ(p0.index, 0u);
    const cmpeek& p1 = t.peaks()[1];
    EXPECT_EQ(p1.startTime, 3.0);
    EXPECT_EQ(p1.endTime, 4.0);
    EXPECT_EQ(p1.name, QStringLiteral("Метан") + QString(27, u'x'));
    EXPECT_EQ(p1.next, -1);
    EXPECT_EQ(p1.previous, 0);
    EXPECT_EQ(p1.index, 1u);
    EXPECT_TRUE(t.tableParameters().empty());
    // A tail shorter than a record is ignored.
    EXPECT_EQ(readTable(b.data() + QByteArray(76, '\0')).peaks().size(), 2u);
}

TEST(CPeeksTableReading, readsVersionZeroBehindAHeader)
{
    HandBytes b = tableHeader(0, 1);
    version0Record(b, bits::k5, bits::k2_5, bits::k1_5, "N2", 0xFFFFFFFFu);
    const CPeeksTable t = readTable(b.data());
    ASSERT_EQ(t.peaks().size(), 1u);
    EXPECT_EQ(t.peaks()[0].startTime, 2.5);
    EXPECT_EQ(t.peaks()[0].endTime, 5.0);
    EXPECT_EQ(t.peaks()[0].concentration, 1.5);
    EXPECT_EQ(t.peaks()[0].name, QStringLiteral("N2"));
}

TEST(CPeeksTableReading, readsVersionOneAndNegativeVersionsWithAnAnsiName)
{
    for (std::int32_t version : {1, -1}) {
        HandBytes b = tableHeader(version, 1);
        b.f64bits(bits::k1).f64bits(bits::k2).f64bits(bits::k0_25);
        b.bytes({0x05, 0xCC, 0xE5, 0xF2, 0xE0, 0xED}); // "Метан"
        b.u32(0xFFFFFFFFu);
        const CPeeksTable t = readTable(b.data());
        ASSERT_EQ(t.peaks().size(), 1u);
        EXPECT_EQ(t.peaks()[0].startTime, 1.0);
        EXPECT_EQ(t.peaks()[0].endTime, 2.0);
        EXPECT_EQ(t.peaks()[0].concentration, 0.25);
        EXPECT_EQ(t.peaks()[0].name, QStringLiteral("Метан"));
    }
}

TEST(CPeeksTableReading, readsVersionTwoWithAWideNameAndTheExtraWord)
{
    HandBytes b = tableHeader(2, 2);
    b.f64bits(bits::k1).f64bits(bits::k2).f64bits(bits::k3);
    b.bytes({0xFF, 0xFE, 0xFF, 0x02, 0x21, 0x04, 0x32, 0x00}); // "С2", Cyrillic Es
    b.u32(1).u32(0xDEADBEEFu);
    b.f64bits(bits::k2).f64bits(bits::k3).f64bits(bits::k4);
    b.bytes({0x00}).u32(0xFFFFFFFFu).u32(7);
    const CPeeksTable t = readTable(b.data());
    ASSERT_EQ(t.peaks().size(), 2u);
    EXPECT_EQ(t.peaks()[0].name, QStringLiteral("С2"));
    EXPECT_EQ(t.peaks()[0].extraWord, 0xDEADBEEFu);
    EXPECT_EQ(t.peaks()[0].next, 1);
    EXPECT_EQ(t.peaks()[1].name, QString());
    EXPECT_EQ(t.peaks()[1].extraWord, 7u);
    EXPECT_EQ(t.peaks()[1].concentration, 4.0);
    EXPECT_EQ(t.peaks()[1].previous, 0);
}

namespace {

// One peak whose parameter list holds A=x, an empty name, A=y; then a table
// list of one pair k=v.
QByteArray parameterTable(std::int32_t version)
{
    HandBytes b = tableHeader(version, 1);
    b.f64bits(bits::k1).f64bits(bits::k2).f64bits(bits::k3);
    b.bytes({0x01, 'P'}).u32(0xFFFFFFFFu).u32(0);
    b.u32(3);
    b.bytes({0x01, 'A', 0x01, 'x'});
    b.bytes({0x00, 0x01, 'z'});
    b.bytes({0x01, 'A', 0x01, 'y'});
    b.u32(1).bytes({0x01, 'k', 0x01, 'v'});
    return b.data();
}

} // namespace

TEST(CPeeksTableReading, versionThreeDropsEmptyAndRepeatedParameterNames)
{
    const CPeeksTable t = readTable(parameterTable(3));
    ASSERT_EQ(t.peaks().size(), 1u);
    const auto& params = t.peaks()[0].parameters;
    ASSERT_EQ(params.size(), 1u);
    EXPECT_EQ(params[0].name, QStringLiteral("A"));
    EXPECT_EQ(params[0].value, QStringLiteral("x"));
    ASSERT_EQ(t.tableParameters().size(), 1u);
    EXPECT_EQ(t.tableParameters()[0].name, QStringLiteral("k"));
    EXPECT_EQ(t.tableParameters()[0].value, QStringLiteral("v"));
}

TEST(CPeeksTableReading, versionFourKeepsEveryParameterInOrder)
{
    const CPeeksTable t = readTable(parameterTable(4));
    const auto& params = t.peaks()[0].parameters;
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[0].name, QStringLiteral("A"));
    EXPECT_EQ(params[1].name, QString());
    EXPECT_EQ(params[1].value, QStringLiteral("z"));
    EXPECT_EQ(params[2].value, QStringLiteral("y"));
    ASSERT_EQ(t.tableParameters().size(), 1u);
}

TEST(CPeeksTableReading, aStreamOfFewerThanEightBytesEmptiesTheTable)
{
    CPeeksTable t = readTable(parameterTable(4));
    ASSERT_EQ(t.peaks().size(), 1u);
    t.ReadTable(QByteArray(7, '\x11'));
    EXPECT_TRUE(t.peaks().empty());
    // The table's own parameters are left alone.
    EXPECT_EQ(t.tableParameters().size(), 1u);
    EXPECT_TRUE(readTable(QByteArray()).peaks().empty());
}

TEST(CPeeksTableReading, readsWhatItsTestWriterWritesInEveryVersion)
{
    StgTable fields;
    fields.peaks = {peak(1.0, 2.0, 0.5, QStringLiteral("Этан"), 1, 9, {{QStringLiteral("a"), QStringLiteral("b")}}),
                  peak(2.0, 3.0, 0.75, QStringLiteral("Пропан"), -1, 10, {})};
    fields.parameters = {{QStringLiteral("t"), QStringLiteral("u")}};
    for (std::int32_t version = 0; version <= 4; ++version) {
        for (bool wide : {true, false}) {
            SCOPED_TRACE(version);
            fields.version = version;
            fields.wideStrings = wide;
            fields.header = version > 0 || wide; // version 0 both with and without header
            const CPeeksTable t = readTable(testsupport::tableStream(fields));
            ASSERT_EQ(t.peaks().size(), 2u);
            EXPECT_EQ(t.peaks()[1].name, QStringLiteral("Пропан"));
            EXPECT_EQ(t.peaks()[1].concentration, 0.75);
            EXPECT_EQ(t.peaks()[0].next, 1);
            EXPECT_EQ(t.peaks()[0].extraWord, version >= 2 ? 9u : 0u);
            EXPECT_EQ(t.peaks()[0].parameters.size(), version >= 3 ? 1u : 0u);
            EXPECT_EQ(t.tableParameters().size(), version >= 3 ? 1u : 0u);
        }
    }
}

// ---------------------------------------------------------------- refusals

TEST(CPeeksTableRefusal, refusesAPeakCountBeyondTheStreamBeforeAllocating)
{
    // Were the counts trusted, the peak vectors would need gigabytes; under
    // the cap that shows as bad_alloc instead of the archive's refusal.
    testsupport::AddressSpaceCap cap(256ull << 20);
    for (std::uint32_t count : {0xFFFFFFFFu, 3000000u}) {
        HandBytes b = tableHeader(1, count);
        b.zeros(14);
        ASSERT_EQ(b.data().size(), 30);
        EXPECT_THROW(readTable(b.data()), ArchiveException);
    }
}

TEST(CPeeksTableRefusal, refusesAParameterCountBeyondTheStream)
{
    testsupport::AddressSpaceCap cap(256ull << 20);
    HandBytes b = tableHeader(4, 1);
    b.f64bits(bits::k1).f64bits(bits::k2).f64bits(bits::k3);
    b.bytes({0x00}).u32(0xFFFFFFFFu).u32(0).u32(50000000u).zeros(8);
    EXPECT_THROW(readTable(b.data()), ArchiveException);
}

TEST(CPeeksTableRefusal, cannotMeasurePeaksWithoutTwoSamples)
{
    StgTable fields;
    fields.peaks = {peak(1.0, 2.0, 0.0, QStringLiteral("A"))};
    const CLattice one({1.0f}, 0.0, 1.0);
    EXPECT_THROW(readTable(testsupport::tableStream(fields), one), std::invalid_argument);
    CPeeksTable unbound;
    EXPECT_THROW(unbound.ReadTable(testsupport::tableStream(fields)), std::invalid_argument);
    // Without peaks nothing is measured.
    fields.peaks.clear();
    EXPECT_NO_THROW(readTable(testsupport::tableStream(fields), one));
}

// ---------------------------------------------------------------- links

TEST(CPeeksTableLinks, derivesPreviousLinksTheLastNamingPeakWinning)
{
    StgTable fields;
    fields.peaks = {peak(1, 2, 0, "a", 1), peak(2, 3, 0, "b", 2), peak(3, 4, 0, "c", -1)};
    CPeeksTable t = readTable(testsupport::tableStream(fields));
    EXPECT_EQ(t.peaks()[0].previous, -1);
    EXPECT_EQ(t.peaks()[1].previous, 0);
    EXPECT_EQ(t.peaks()[2].previous, 1);
    fields.peaks[0].next = 2;
    t = readTable(testsupport::tableStream(fields));
    EXPECT_EQ(t.peaks()[2].previous, 1);
}

TEST(CPeeksTableLinks, clearsNextLinksOutsideTheTable)
{
    StgTable fields;
    fields.version = 0;
    fields.header = false;
    fields.peaks = {peak(1, 2, 0, "a", 5), peak(2, 3, 0, "b", -7), peak(3, 4, 0, "c", 3)};
    const CPeeksTable t = readTable(testsupport::tableStream(fields));
    for (const cmpeek& p : t.peaks()) {
        EXPECT_EQ(p.next, -1);
        EXPECT_EQ(p.previous, -1);
    }
}

TEST(CPeeksTableLinks, aLoopOfNextLinksEndsAtTheFirstRepeatedPeak)
{
    // Signal y = t: any straight baseline through the signal is the signal itself.
    const CLattice ramp({0, 1, 2, 3, 4, 5}, 0.0, 1.0);
    StgTable fields;
    // 3 -> 0 -> 1 -> 2 -> 0 ...: the group is 3, 0, 1, 2 from t = 0 to t = 4.
    fields.peaks = {peak(1, 2, 0, "a", 1), peak(2, 3, 0, "b", 2), peak(3, 4, 0, "c", 0),
                  peak(0, 1, 0, "d", 0)};
    const CPeeksTable t = readTable(testsupport::tableStream(fields), ramp);
    EXPECT_DOUBLE_EQ(t.peaks()[3].baselineStart, 0.0);
    EXPECT_DOUBLE_EQ(t.peaks()[3].baselineEnd, 1.0);
    EXPECT_DOUBLE_EQ(t.peaks()[0].baselineStart, 1.0);
    EXPECT_DOUBLE_EQ(t.peaks()[2].baselineEnd, 4.0);
    for (const cmpeek& p : t.peaks())
        EXPECT_NEAR(p.area, 0.0, 1e-12);
}

TEST(CPeeksTableLinks, aLoopWithoutAHeadAndASelfLinkLeaveTheBaselineAtZero)
{
    const CLattice ramp({0, 1, 2, 3, 4, 5}, 0.0, 1.0);
    StgTable fields;
    fields.peaks = {peak(1, 2, 0, "a", 1), peak(2, 3, 0, "b", 0), peak(4, 5, 0, "c", 2)};
    const CPeeksTable t = readTable(testsupport::tableStream(fields), ramp);
    // With no head the loop gets no group line; its peaks are not lone either,
    // so their baselines stay 0 and the area is the whole signal integral.
    EXPECT_DOUBLE_EQ(t.peaks()[0].area, 1.5);
    EXPECT_DOUBLE_EQ(t.peaks()[1].area, 2.5);
    EXPECT_DOUBLE_EQ(t.peaks()[2].area, 4.5);
    EXPECT_EQ(t.peaks()[2].previous, 2);
}

TEST(CPeeksTableLinks, aFusedGroupSharesOneStraightBaseline)
{
    // Group 0 -> 1 -> 2 from t = 1 (signal 2) to t = 6 (signal 7): baseline t + 1.
    const CLattice s({0, 2, 6, 5, 9, 4, 7, 0}, 0.0, 1.0);
    StgTable fields;
    fields.peaks = {peak(1, 3, 0, "a", 1), peak(3, 5, 0, "b", 2), peak(5, 6, 0, "c", -1)};
    const CPeeksTable t = readTable(testsupport::tableStream(fields), s);
    const auto& p = t.peaks();
    EXPECT_DOUBLE_EQ(p[0].baselineStart, 2.0);
    EXPECT_DOUBLE_EQ(p[0].baselineEnd, 4.0);
    EXPECT_DOUBLE_EQ(p[1].baselineStart, 4.0);
    EXPECT_DOUBLE_EQ(p[1].baselineEnd, 6.0);
    EXPECT_DOUBLE_EQ(p[2].baselineStart, 6.0);
    EXPECT_DOUBLE_EQ(p[2].baselineEnd, 7.0);
    // Signal integral 9.5 minus baseline 6; largest deviation 3 at t = 2.
    EXPECT_DOUBLE_EQ(p[0].area, 3.5);
    EXPECT_DOUBLE_EQ(p[0].height, 3.0);
    EXPECT_DOUBLE_EQ(p[0].apexTime, 2.0);
    // 13.5 - 10; deviation 4 at t = 4.
    EXPECT_DOUBLE_EQ(p[1].area, 3.5);
    EXPECT_DOUBLE_EQ(p[1].height, 4.0);
    EXPECT_DOUBLE_EQ(p[1].apexTime, 4.0);
    // A dip under the line keeps its negative area and gets a positive height.
    EXPECT_DOUBLE_EQ(p[2].area, -1.0);
    EXPECT_DOUBLE_EQ(p[2].height, 2.0);
    EXPECT_DOUBLE_EQ(p[2].apexTime, 5.0);
}

// ---------------------------------------------------------------- one peak

namespace {

cmpeek lonePeak(double start, double end)
{
    cmpeek p;
    p.startTime = start;
    p.endTime = end;
    return p;
}

} // namespace

TEST(CmpeekComputePeak, aTriangleHasTheTrapezoidAreaAboveItsChord)
{
    const CLattice s({0, 0, 2, 4, 2, 0, 0}, 0.0, 0.5);
    cmpeek onSamples = lonePeak(0.5, 2.5);
    onSamples.ComputePeak(s);
    EXPECT_DOUBLE_EQ(onSamples.area, 4.0);
    EXPECT_DOUBLE_EQ(onSamples.height, 4.0);
    EXPECT_DOUBLE_EQ(onSamples.apexTime, 1.5);

    // Between samples: signal integral from 0.75 to 2.25 is 3.75, the chord
    // from (0.75, 1) to (2.25, 1) takes 1.5.
    cmpeek between = lonePeak(0.75, 2.25);
    between.ComputePeak(s);
    EXPECT_DOUBLE_EQ(between.baselineStart, 1.0);
    EXPECT_DOUBLE_EQ(between.baselineEnd, 1.0);
    EXPECT_DOUBLE_EQ(between.area, 2.25);
    EXPECT_DOUBLE_EQ(between.height, 3.0);
}

TEST(CmpeekComputePeak, aFlatSignalGivesNoHeightAndNoArea)
{
    const CLattice s(std::vector<float>(8, 3.7f), 0.0, 0.5);
    cmpeek p = lonePeak(0.6, 2.9);
    p.ComputePeak(s);
    EXPECT_EQ(p.height, 0.0);
    EXPECT_NEAR(p.area, 0.0, 1e-12);
    // All deviations tie at 0: the earliest sample inside is the apex.
    EXPECT_DOUBLE_EQ(p.apexTime, 1.0);
}

TEST(CmpeekComputePeak, endValuesAreRoundedToSinglePrecision)
{
    const CLattice s({0.0f, 1.0f, 0.0f}, 0.0, 1.0);
    cmpeek p = lonePeak(1.0 / 3.0, 1.5);
    p.ComputePeak(s);
    EXPECT_EQ(p.baselineStart, 0.3333333432674408);
    EXPECT_EQ(p.baselineEnd, 0.5);

    // The ends of a group's line are rounded the same way.
    StgTable fields;
    fields.peaks = {peak(1.0 / 3.0, 0.5, 0, "a", 1), peak(0.5, 1.5, 0, "b")};
    const CPeeksTable t = readTable(testsupport::tableStream(fields), s);
    EXPECT_EQ(t.peaks()[0].baselineStart, 0.3333333432674408);
    EXPECT_EQ(t.peaks()[1].baselineEnd, 0.5);
}

TEST(CmpeekComputePeak, theEndSamplePairIsSummedInSinglePrecision)
{
    // 1 + 2^-24 rounds to 1 in single precision, which leaves 2^-25 of area.
    const CLattice s({1.0f, 5.9604644775390625e-08f, 0.0f}, 0.0, 1.0);
    cmpeek p = lonePeak(0.0, 1.0);
    p.ComputePeak(s);
    EXPECT_EQ(p.area, 2.9802322387695312e-08);
}

TEST(CmpeekComputePeak, aPeakWithNoSampleInsideUsesItsEndValues)
{
    // Group 0 -> 1 -> 2 on a signal that is 0 at both group ends, so the
    // middle peak, between samples, sits on a zero baseline.
    const CLattice s({0, 2, 4, 0}, 0.0, 1.0);
    StgTable fields;
    fields.peaks = {peak(0, 1, 0, "a", 1), peak(1.25, 1.75, 0, "b", 2), peak(2, 3, 0, "c", -1)};
    const CPeeksTable t = readTable(testsupport::tableStream(fields), s);
    const cmpeek& p = t.peaks()[1];
    EXPECT_DOUBLE_EQ(p.apexTime, 1.5);
    EXPECT_DOUBLE_EQ(p.height, 3.0);
    EXPECT_DOUBLE_EQ(p.area, 0.5 * (2.5 + 3.5) / 2);

    // A lone one between samples sits on its own chord: nothing left.
    cmpeek lone = lonePeak(1.25, 1.75);
    lone.ComputePeak(s);
    EXPECT_DOUBLE_EQ(lone.area, 0.0);
    EXPECT_DOUBLE_EQ(lone.height, 0.0);
}

TEST(CmpeekComputePeak, boundariesOutsideTheSignalAreClipped)
{
    const CLattice s({0, 0, 2, 4, 2, 0, 0}, 0.0, 0.5);
    cmpeek p = lonePeak(-1.0, 10.0);
    p.ComputePeak(s);
    // Inside: the triangle of area 4 over a baseline at 0 (both ends extrapolate to 0).
    EXPECT_DOUBLE_EQ(p.area, 4.0);
    EXPECT_DOUBLE_EQ(p.height, 4.0);

}

TEST(CmpeekComputePeak, aZeroOrNonFiniteStepNeverReadsOutsideTheSamples)
{
    const CLattice zero({1, 2, 3}, 1.0, 0.0);
    cmpeek p = lonePeak(0.0, 2.0);
    p.ComputePeak(zero);   // every sample sits at t = 1
    EXPECT_DOUBLE_EQ(p.apexTime, 1.0);
    const CLattice nanStep({1, 2, 3}, 1.0, std::numeric_limits<double>::quiet_NaN());
    cmpeek q = lonePeak(0.0, 2.0);
    q.ComputePeak(nanStep);
    EXPECT_DOUBLE_EQ(q.apexTime, 1.0); // no sample: the middle of the interval
}

// ---------------------------------------------------------------- nesting

namespace {

// Triangle 0,1,2,3,2,1,0 at t = 0..6; A = [0,6] (area 9), B = [1,5] (area 4),
// C = [2,4] (area 1), each on its own chord.
StgPeak nestA() { return peak(0, 6, 0, "A"); }
StgPeak nestB() { return peak(1, 5, 0, "B"); }
StgPeak nestC() { return peak(2, 4, 0, "C"); }
const CLattice& triangle()
{
    static const CLattice s({0, 1, 2, 3, 2, 1, 0}, 0.0, 1.0);
    return s;
}

} // namespace

TEST(CPeeksTableNesting, anOuterPeakLosesTheAreaOfAPeakInsideIt)
{
    StgTable fields;
    fields.peaks = {nestA(), nestC()};
    const CPeeksTable t = readTable(testsupport::tableStream(fields), triangle());
    EXPECT_DOUBLE_EQ(t.peaks()[0].area, 8.0);
    EXPECT_DOUBLE_EQ(t.peaks()[1].area, 1.0);
}

TEST(CPeeksTableNesting, earlierPeaksGiveTheirReducedAreaLaterOnesTheirMeasuredArea)
{
    StgTable fields;
    fields.peaks = {nestA(), nestB(), nestC()};
    CPeeksTable t = readTable(testsupport::tableStream(fields), triangle());
    EXPECT_DOUBLE_EQ(t.peaks()[0].area, 9.0 - 4.0 - 1.0);
    EXPECT_DOUBLE_EQ(t.peaks()[1].area, 3.0);
    EXPECT_DOUBLE_EQ(t.peaks()[2].area, 1.0);

    fields.peaks = {nestC(), nestB(), nestA()};
    t = readTable(testsupport::tableStream(fields), triangle());
    EXPECT_DOUBLE_EQ(t.peaks()[0].area, 1.0);
    EXPECT_DOUBLE_EQ(t.peaks()[1].area, 3.0);
    EXPECT_DOUBLE_EQ(t.peaks()[2].area, 9.0 - 1.0 - 3.0);
}

// ---------------------------------------------------------------- copies

TEST(CPeeksTableCopy, copiesCarryThePeaksOnly)
{
    const CPeeksTable source = readTable(parameterTable(4));
    CPeeksTable copy;
    copy = source;
    ASSERT_EQ(copy.peaks().size(), 1u);
    EXPECT_EQ(copy.peaks()[0].parameters.size(), 3u);
    EXPECT_EQ(copy.signal(), nullptr);
    EXPECT_TRUE(copy.tableParameters().empty());
    const CPeeksTable constructed(source);
    EXPECT_EQ(constructed.peaks().size(), 1u);
    EXPECT_EQ(constructed.signal(), nullptr);
}
