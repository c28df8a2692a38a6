#pragma once

#include "support/CfbWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Builders of the streams of a "*.stg" chromatogram file, for tests and
// benchmarks. Every field is settable, so a test can also write what a
// damaged file would hold.
namespace testsupport {

QByteArray rawDataStream(const std::vector<float>& samples);
QByteArray timeStream(float t0, float t1, float t2);

struct StgParam
{
    QString name;
    QString value;
};

struct StgPeak
{
    double start = 0.0;
    double end = 0.0;
    double concentration = 0.0;
    QString name;
    std::int32_t next = -1;
    std::uint32_t extraWord = 0;      // written from version 2
    QList<StgParam> parameters;       // written from version 3
};

StgPeak peak(double start, double end, double concentration, const QString& name, std::int32_t next = -1,
            std::uint32_t extraWord = 0, const QList<StgParam>& parameters = {});

struct StgTable
{
    std::int32_t version = 4;
    bool header = true;               // version 0 may go without one
    bool wideStrings = true;          // UTF-16 archive strings, else Windows-1251
    QList<StgPeak> peaks;
    QList<StgParam> parameters;       // the table's own list, from version 3
    std::optional<std::uint32_t> count; // written instead of the real peak count
};
QByteArray tableStream(const StgTable& table);

struct StgPassport
{
    std::uint32_t signature = 0xE04561CCu;
    std::int32_t version = 3;
    bool wideStrings = true;          // UTF-16 archive strings, else Windows-1251
    bool shortTimes = false;          // times as plain i32 instead of the marked i64

    QString sample;
    QString text2;
    double volume = 1.0;
    double dilution = 1.0;
    double norm = 100.0;
    std::int64_t samplingTime = 0;
    QString samplingSpot;
    QString method;
    double duration = 0.0;
    std::uint32_t number10 = 1;
    std::uint32_t numberInSeries = 0;
    std::uint32_t calibrationFlag = 0;
    QString operatorName;
    QString text14;
    QString text15;
    std::uint32_t number16 = 0;
    double value17 = 0.0;
    double value18 = 0.0;
    double value19 = 0.0;
    double value20 = 0.0;
    QString eluent;
    double value22 = 0.0;
    double value23 = 0.0;
    double value24 = 0.0;
    QString reagent;
    double value26 = 0.0;
    double value27 = 0.0;
    double value28 = 0.0;
    std::int64_t analysisTime = 0;
    std::uint32_t number30 = 0;
    QString text31;
    QString comment;
    QString samplingPoint;            // written from version 2
    double value34 = 0.0;             // written from version 3
    double value35 = 0.0;
};
QByteArray passportStream(const StgPassport& passport);

// The four streams of a file; an empty optional leaves that stream out.
struct StgStreams
{
    std::optional<QByteArray> rawData;
    std::optional<QByteArray> time;
    std::optional<QByteArray> table;
    std::optional<QByteArray> passport;
};
StgStreams stgStreams(const std::vector<float>& samples, float t0, float t1, float t2,
                      const StgTable& table, const StgPassport& passport);

QByteArray buildStgFile(const StgStreams& streams, const CfbOptions& options = {});
bool writeStgFile(const QString& path, const StgStreams& streams, const CfbOptions& options = {});

} // namespace testsupport
