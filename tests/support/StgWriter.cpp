#include "support/StgWriter.h"

#include "platform/Archive.h"
#include "platform/TextCodec.h"

#include <QtEndian>

namespace testsupport {

namespace {

void writeText(ArchiveWriter& w, const QString& text, bool wide)
{
    if (wide)
        w.writeWideString(text);
    else
        w.writeAnsiString(text);
}

void writeParams(ArchiveWriter& w, const QList<StgParam>& params, bool wide)
{
    w.writeU32(static_cast<std::uint32_t>(params.size()));
    for (const StgParam& p : params) {
        writeText(w, p.name, wide);
        writeText(w, p.value, wide);
    }
}

void writeVersion0Record(ArchiveWriter& w, const StgPeak& peak)
{
    w.writeDouble(peak.end);
    w.writeDouble(peak.start);
    w.writeDouble(peak.concentration);
    QByteArray name = textcodec::toCp1251(peak.name).left(32);
    name.append(QByteArray(32 - name.size(), '\0'));
    w.writeBytes(name);
    w.writeI32(peak.next);
    w.writeBytes(QByteArray(52, '\0'));
}

void writeTime(ArchiveWriter& w, std::int64_t t, bool shortForm)
{
    if (shortForm)
        w.writeTime32(static_cast<std::int32_t>(t));
    else
        w.writeTime(t);
}

} // namespace

StgPeak peak(double start, double end, double concentration, const QString& name, std::int32_t next,
            std::uint32_t extraWord, const QList<StgParam>& parameters)
{
    StgPeak p;
    p.start = start;
    p.end = end;
    p.concentration = concentration;
    p.name = name;
    p.next = next;
    p.extraWord = extraWord;
    p.parameters = parameters;
    return p;
}

QByteArray rawDataStream(const std::vector<float>& samples)
{
    // In one piece: a long signal a float at a time took most of a file's writing.
    QByteArray bytes(static_cast<qsizetype>(samples.size() * sizeof(float)), Qt::Uninitialized);
    if (!samples.empty())
        qToLittleEndian<float>(samples.data(), static_cast<qsizetype>(samples.size()), bytes.data());
    return bytes;
}

QByteArray timeStream(float t0, float t1, float t2)
{
    ArchiveWriter w;
    w.writeFloat(t0);
    w.writeFloat(t1);
    w.writeFloat(t2);
    return w.bytes();
}

QByteArray tableStream(const StgTable& table)
{
    ArchiveWriter w;
    if (table.header) {
        w.writeU32(0x125FFE11u);
        w.writeU32(0xA2D28C45u);
        w.writeI32(table.version);
        w.writeU32(table.count.value_or(static_cast<std::uint32_t>(table.peaks.size())));
    }
    for (const StgPeak& peak : table.peaks) {
        if (table.version == 0) {
            writeVersion0Record(w, peak);
            continue;
        }
        w.writeDouble(peak.start);
        w.writeDouble(peak.end);
        w.writeDouble(peak.concentration);
        writeText(w, peak.name, table.wideStrings);
        w.writeI32(peak.next);
        if (table.version >= 2)
            w.writeU32(peak.extraWord);
        if (table.version >= 3)
            writeParams(w, peak.parameters, table.wideStrings);
    }
    if (table.version >= 3)
        writeParams(w, table.parameters, table.wideStrings);
    return w.bytes();
}

QByteArray passportStream(const StgPassport& p)
{
    const bool wide = p.wideStrings;
    ArchiveWriter w;
    w.writeU32(p.signature);
    w.writeI32(p.version);
    writeText(w, p.sample, wide);
    writeText(w, p.text2, wide);
    w.writeDouble(p.volume);
    w.writeDouble(p.dilution);
    w.writeDouble(p.norm);
    writeTime(w, p.samplingTime, p.shortTimes);
    writeText(w, p.samplingSpot, wide);
    writeText(w, p.method, wide);
    w.writeDouble(p.duration);
    w.writeU32(p.number10);
    w.writeU32(p.numberInSeries);
    w.writeU32(p.calibrationFlag);
    writeText(w, p.operatorName, wide);
    writeText(w, p.text14, wide);
    writeText(w, p.text15, wide);
    w.writeU32(p.number16);
    w.writeDouble(p.value17);
    w.writeDouble(p.value18);
    w.writeDouble(p.value19);
    w.writeDouble(p.value20);
    writeText(w, p.eluent, wide);
    w.writeDouble(p.value22);
    w.writeDouble(p.value23);
    w.writeDouble(p.value24);
    writeText(w, p.reagent, wide);
    w.writeDouble(p.value26);
    w.writeDouble(p.value27);
    w.writeDouble(p.value28);
    writeTime(w, p.analysisTime, p.shortTimes);
    w.writeU32(p.number30);
    writeText(w, p.text31, wide);
    writeText(w, p.comment, wide);
    if (p.version >= 2)
        writeText(w, p.samplingPoint, wide);
    if (p.version >= 3) {
        w.writeDouble(p.value34);
        w.writeDouble(p.value35);
    }
    return w.bytes();
}

StgStreams stgStreams(const std::vector<float>& samples, float t0, float t1, float t2,
                      const StgTable& table, const StgPassport& passport)
{
    StgStreams s;
    s.rawData = rawDataStream(samples);
    s.time = timeStream(t0, t1, t2);
    s.table = tableStream(table);
    s.passport = passportStream(passport);
    return s;
}

namespace {

QList<CfbStream> cfbStreams(const StgStreams& s)
{
    QList<CfbStream> out;
    if (s.rawData)
        out.append({QStringLiteral("Raw_data"), *s.rawData});
    if (s.time)
        out.append({QStringLiteral("Time"), *s.time});
    if (s.table)
        out.append({QStringLiteral("Table"), *s.table});
    if (s.passport)
        out.append({QStringLiteral("Passport"), *s.passport});
    return out;
}

} // namespace

QByteArray buildStgFile(const StgStreams& streams, const CfbOptions& options)
{
    return buildCompoundFile(cfbStreams(streams), options);
}

bool writeStgFile(const QString& path, const StgStreams& streams, const CfbOptions& options)
{
    return writeCompoundFile(path, cfbStreams(streams), options);
}

} // namespace testsupport
