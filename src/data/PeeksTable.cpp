#include "data/PeeksTable.h"

#include "data/Lattice.h"
#include "data/PeakScan.h"
#include "platform/Archive.h"
#include "platform/TextCodec.h"

#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::uint32_t kTableSignature1 = 0x125FFE11u;
constexpr std::uint32_t kTableSignature2 = 0xA2D28C45u;
constexpr std::int32_t kLastTableVersion = 4;
constexpr qsizetype kVersion0RecordSize = 112;
constexpr qsizetype kVersion0NameSize = 32;
// Comparisons of one peak with another that the removal of nested areas may
// take; a real table needs a few per peak.
constexpr std::uint64_t kMaxNestingComparisons = std::uint64_t(1) << 24;
// Samples that measuring every peak may visit: a real table visits each
// sample of its signal a few times, far below this.
constexpr std::uint64_t kMaxMeasuredSamples = std::uint64_t(1) << 28;

// The fewest bytes a peak record of a version can take (empty name, empty
// parameter list); a peak count is refused unless this many bytes remain for
// every peak, so a damaged count cannot make the reader allocate.
std::uint64_t minimumRecordSize(std::int32_t version)
{
    if (version == 0)
        return kVersion0RecordSize;
    std::uint64_t size = 3 * 8 + 1 + 4; // start, end, concentration, name, next
    if (version >= 2)
        size += 4;                      // extra word
    if (version >= 3)
        size += 4;                      // parameter count
    return size;
}

// Rounds a double to single precision and widens it back. Through a float in
// memory, since GCC 12's SLP vectorizer has been seen to drop a plain
// double-float-double round trip, and the results depend on this rounding.
double roundToSingle(double v)
{
    volatile float f = static_cast<float>(v);
    return f;
}

double readDoubleAt(const char* p)
{
    const std::uint64_t bits = qFromLittleEndian<quint64>(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The samples inside [a, b], first and last; last < first when there are none.
// Decided on the doubles so that a zero or non-finite step or a boundary far
// outside the signal gives an empty or clipped range instead of an
// out-of-range integer conversion.
std::pair<qsizetype, qsizetype> samplesInside(const CLattice& signal, double a, double b)
{
    const qsizetype n = signal.size();
    const double qa = std::ceil((a - signal.start()) / signal.step());
    const double qb = std::floor((b - signal.start()) / signal.step());
    if (std::isnan(qa) || std::isnan(qb) || qa > static_cast<double>(n - 1) || qb < 0.0)
        return {0, -1};
    return {qa < 0.0 ? 0 : static_cast<qsizetype>(qa), qb > static_cast<double>(n - 1) ? n - 1 : static_cast<qsizetype>(qb)};
}

} // namespace

void cmpeek::Serialize(ArchiveReader& ar, std::int32_t version, std::uint32_t peakIndex)
{
    index = peakIndex;
    if (version == 0) {
        // Version 0 keeps the end time before the start time.
        const QByteArray record = ar.readBytes(kVersion0RecordSize);
        const char* p = record.constData();
        endTime = readDoubleAt(p);
        startTime = readDoubleAt(p + 8);
        concentration = readDoubleAt(p + 16);
        const char* text = p + 24;
        const void* nul = std::memchr(text, 0, kVersion0NameSize);
        const qsizetype length = nul ? static_cast<const char*>(nul) - text : kVersion0NameSize;
        name = textcodec::fromCp1251(text, length);
        next = qFromLittleEndian<qint32>(p + 56);
        previous = -1;
        extraWord = 0;
    } else {
        // A negative version reads like version 1.
        startTime = ar.readDouble();
        endTime = ar.readDouble();
        concentration = ar.readDouble();
        name = ar.readString();
        next = ar.readI32();
        if (version >= 2)
            extraWord = ar.readU32();
    }
    SerializeDopParams(parameters, ar, version);
}

void SerializeDopParams(std::vector<cmpeek::TwinsDopParam>& list, ArchiveReader& ar, std::int32_t version)
{
    if (version < 3)
        return;
    const std::uint32_t count = ar.readU32();
    if (count == 0) {
        list.clear();
        return;
    }
    // Each pair takes at least two bytes (two empty strings).
    ar.require(std::uint64_t(count) * 2);

    if (version == 3) {
        // Version 3 drops empty names and repeated names; the first one wins.
        QSet<QString> names;
        for (const cmpeek::TwinsDopParam& p : list)
            names.insert(p.name);
        for (std::uint32_t i = 0; i < count; ++i) {
            cmpeek::TwinsDopParam param;
            param.name = ar.readString();
            param.value = ar.readString();
            if (param.name.isEmpty() || names.contains(param.name))
                continue;
            names.insert(param.name);
            list.push_back(std::move(param));
        }
        return;
    }

    list.resize(count);
    for (cmpeek::TwinsDopParam& param : list) {
        param.name = ar.readString();
        param.value = ar.readString();
    }
}

void cmpeek::ComputePeak(const CLattice& signal)
{
    const double a = startTime;
    const double b = endTime;
    // The end values are rounded to single precision, as the samples are.
    const double ya = roundToSingle(signal.ValueAt(a));
    const double yb = roundToSingle(signal.ValueAt(b));

    const SampleVector& y = signal.samples();
    const double s0 = signal.start();
    const double h = signal.step();

    const auto [i0, i1] = samplesInside(signal, a, b);

    if (previous < 0 && next < 0) {
        baselineStart = ya;
        baselineEnd = yb;
    }
    const double bs = baselineStart;
    const double be = baselineEnd;

    if (i1 < i0) {
        // No sample inside: the integral of signal minus baseline reduces to
        // the two trapezoids over [a, b].
        apexTime = (a + b) / 2;
        height = (ya + yb) / 2 - (bs + be) / 2;
        area = (b - a) * (ya + yb) / 2 - (b - a) * (bs + be) / 2;
        return;
    }

    // Apex (the earliest sample farthest from the baseline) and the sequential
    // double sum of the samples inside.
    const peakscan::Measure m = peakscan::measure(y.data(), i0, i1, {s0, h, a, b, bs, be});
    apexTime = m.apexTime;
    height = m.height;
    const double sum = m.sum;

    const float y0 = y[static_cast<size_t>(i0)];
    const float y1 = y[static_cast<size_t>(i1)];
    const double t0 = s0 + static_cast<double>(i0) * h;
    const double t1 = s0 + static_cast<double>(i1) * h;
    // The end-sample pair is summed in single precision; the result depends on it.
    const float endPair = y0 + y1;
    area = h * sum - h * static_cast<double>(endPair) / 2
         + (t0 - a) * (static_cast<double>(y0) + ya) / 2
         + (b - t1) * (static_cast<double>(y1) + yb) / 2
         - (b - a) * (bs + be) / 2;
}

CPeeksTable::CPeeksTable(const CPeeksTable& other)
    : m_peaks(other.m_peaks)
{
}

CPeeksTable& CPeeksTable::operator=(const CPeeksTable& other)
{
    if (this != &other)
        m_peaks = other.m_peaks;
    return *this;
}

// A move hands over the peaks and the table parameters, never the signal
// reference, which belongs to the object that owns that signal.
CPeeksTable::CPeeksTable(CPeeksTable&& other) noexcept
    : m_peaks(std::move(other.m_peaks)), m_tableParameters(std::move(other.m_tableParameters))
{
}

CPeeksTable& CPeeksTable::operator=(CPeeksTable&& other) noexcept
{
    if (this != &other) {
        m_peaks = std::move(other.m_peaks);
        m_tableParameters = std::move(other.m_tableParameters);
    }
    return *this;
}

void CPeeksTable::ReadTable(const QByteArray& stream)
{
    if (stream.size() < 8) {
        m_peaks.clear();
        return;
    }

    const bool hasHeader = qFromLittleEndian<quint32>(stream.constData()) == kTableSignature1
                           && qFromLittleEndian<quint32>(stream.constData() + 4) == kTableSignature2;
    ArchiveReader ar(stream, hasHeader ? 8 : 0);
    std::int32_t version = 0;
    std::uint64_t count = 0;
    if (hasHeader) {
        version = ar.readI32();
        if (version > kLastTableVersion)
            throw ArchiveException(ArchiveException::Cause::BadIndex, "peak table of an unknown version");
        count = ar.readU32();
    } else {
        count = static_cast<std::uint64_t>(stream.size()) / kVersion0RecordSize;
    }
    ar.require(count * minimumRecordSize(version) + (version >= 3 ? 4 : 0));

    std::vector<cmpeek> peaks(static_cast<size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i)
        peaks[static_cast<size_t>(i)].Serialize(ar, version, static_cast<std::uint32_t>(i));

    std::vector<cmpeek::TwinsDopParam> tableParameters = m_tableParameters;
    if (version >= 3)
        SerializeDopParams(tableParameters, ar, version);

    m_peaks = std::move(peaks);
    m_tableParameters = std::move(tableParameters);
    FixLinks();
    RecomputePeaks();
}

void CPeeksTable::FixLinks()
{
    const size_t count = m_peaks.size();
    for (size_t i = 0; i < count; ++i) {
        // A negative next reads as a huge unsigned index and is cleared with
        // every other index outside the table.
        const auto j = static_cast<std::uint32_t>(m_peaks[i].next);
        if (j < count)
            m_peaks[j].previous = static_cast<std::int32_t>(i);
        else
            m_peaks[i].next = -1;
    }
}

void CPeeksTable::RecomputePeaks()
{
    if (m_peaks.empty())
        return;
    if (!m_signal)
        throw std::invalid_argument("the peak table has no signal");
    // Many wide peaks over a long signal would keep the reader busy for
    // hours: such a table is refused as damaged before it is measured.
    std::uint64_t visits = 0;
    for (const cmpeek& peak : m_peaks) {
        const auto [first, last] = samplesInside(*m_signal, peak.startTime, peak.endTime);
        visits += static_cast<std::uint64_t>(std::max<qsizetype>(last - first + 1, 0));
        if (visits > kMaxMeasuredSamples)
            throw ArchiveException(ArchiveException::Cause::BadLength, "peaks wider than can be measured");
    }
    ComputeGroupBaselines();
    for (cmpeek& peak : m_peaks)
        peak.ComputePeak(*m_signal);
    SubtractNestedAreas();
}

void CPeeksTable::ComputeGroupBaselines()
{
    const size_t count = m_peaks.size();
    // seenBy[k] == head marks k as already on the chain of head.
    std::vector<size_t> seenBy(count, count);
    std::vector<size_t> chain;
    for (size_t head = 0; head < count; ++head) {
        if (m_peaks[head].next < 0 || m_peaks[head].previous >= 0)
            continue;

        // A chain that comes back to a peak already on it is cut there, so
        // damaged links cannot make this walk endless.
        chain.clear();
        for (size_t k = head;;) {
            if (seenBy[k] == head)
                break;
            seenBy[k] = head;
            chain.push_back(k);
            const std::int32_t next = m_peaks[k].next;
            if (next < 0 || static_cast<size_t>(next) >= count)
                break;
            k = static_cast<size_t>(next);
        }

        const double gs = m_peaks[head].startTime;
        const double ge = m_peaks[chain.back()].endTime;
        const double w = ge - gs;
        const double ys = roundToSingle(m_signal->ValueAt(gs));
        const double ye = roundToSingle(m_signal->ValueAt(ge));
        for (size_t k : chain) {
            cmpeek& peak = m_peaks[k];
            if (ge == gs) {
                peak.baselineStart = ys;
                peak.baselineEnd = ys;
            } else {
                peak.baselineStart = ys + (peak.startTime - gs) * (ye - ys) / w;
                peak.baselineEnd = ys + (peak.endTime - gs) * (ye - ys) / w;
            }
        }
    }
}

void CPeeksTable::SubtractNestedAreas()
{
    // In place and in table order: a nested peak earlier in the table gives
    // its already reduced area, a later one its measured area; each peak takes
    // its nested ones off in table order.
    //
    // Peak j lies inside peak i when start j >= start i and end j <= end i.
    // Only the peaks that start within [start i, end i] are looked at: sorted
    // by start, they are a run. That holds for peaks with start <= end; the
    // few reversed ones are checked against every peak, and a peak with a
    // NaN boundary neither holds nor lies inside any other.
    const size_t count = m_peaks.size();
    std::vector<size_t> byStart;
    std::vector<size_t> reversed;
    byStart.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const double start = m_peaks[i].startTime;
        const double end = m_peaks[i].endTime;
        if (std::isnan(start) || std::isnan(end))
            continue;
        (start <= end ? byStart : reversed).push_back(i);
    }
    std::sort(byStart.begin(), byStart.end(),
              [this](size_t l, size_t r) { return m_peaks[l].startTime < m_peaks[r].startTime; });
    const auto firstFrom = [this, &byStart](double start) {
        return std::lower_bound(byStart.begin(), byStart.end(), start,
                                [this](size_t k, double t) { return m_peaks[k].startTime < t; });
    };

    // Many copies of one peak, or peaks each inside the one before, make the
    // work grow with the square of their count: a few megabytes of table
    // would keep the reader busy for hours. The comparisons are counted
    // first, and such a table is refused as damaged.
    std::uint64_t comparisons = std::uint64_t(reversed.size()) * (reversed.size() + byStart.size());
    for (auto i = byStart.begin(); i != byStart.end() && comparisons <= kMaxNestingComparisons; ++i) {
        const auto last = std::upper_bound(byStart.begin(), byStart.end(), m_peaks[*i].endTime,
                                           [this](double t, size_t k) { return t < m_peaks[k].startTime; });
        comparisons += static_cast<std::uint64_t>(last - firstFrom(m_peaks[*i].startTime));
    }
    if (comparisons > kMaxNestingComparisons)
        throw ArchiveException(ArchiveException::Cause::BadLength, "peaks nested beyond measure");

    std::vector<size_t> inner;
    for (size_t i = 0; i < count; ++i) {
        const double start = m_peaks[i].startTime;
        const double end = m_peaks[i].endTime;
        if (std::isnan(start) || std::isnan(end))
            continue;
        inner.clear();
        for (auto it = firstFrom(start); it != byStart.end() && m_peaks[*it].startTime <= end; ++it) {
            if (*it != i && m_peaks[*it].endTime <= end)
                inner.push_back(*it);
        }
        for (size_t j : reversed) {
            if (j != i && m_peaks[j].startTime >= start && m_peaks[j].endTime <= end)
                inner.push_back(j);
        }
        std::sort(inner.begin(), inner.end());
        for (size_t j : inner)
            m_peaks[i].area -= m_peaks[j].area;
    }
}
