#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The sample passport of one chromatogram: what the data system stored about
// the sample and the run. Items the program stores but never uses keep
// neutral names after their place in the stream.
class CPassport
{
public:
    CPassport();
    CPassport(const CPassport&) = default;
    CPassport& operator=(const CPassport&) = default;
    CPassport(CPassport&&) = default;
    CPassport& operator=(CPassport&&) = default;
    virtual ~CPassport() = default;

    QString sample;          // "ПРОБА"
    QString text31;
    QString text14;
    QString method;          // "Метод"
    QString eluent;          // "Элюент"
    QString reagent;         // "Реагент"
    QString operatorName;    // "Оператор"
    QString filePath;        // not in the stream: the file it was read from
    QString samplingSpot;    // "Точка отбора"
    QString text15;
    std::uint32_t numberInSeries = 0; // "Номер в серии"
    std::uint32_t calibrationFlag = 0; // non-zero: a calibration run against a gas cylinder
    std::uint32_t number10 = 1;
    std::uint32_t number16 = 0;
    std::uint32_t number30 = 0;
    double volume = 1.0;     // "Объём"
    double dilution = 1.0;   // "Разведение"
    double norm = 100.0;     // "Норма"
    double duration = 0.0;   // run duration, minutes
    double value17 = 0.0;
    double value18 = 0.0;
    double value19 = 0.0;
    double value20 = 0.0;
    double value22 = 0.0;
    double value24 = 0.0;
    double value23 = 0.0;
    double value26 = 0.0;
    double value28 = 0.0;
    double value27 = 0.0;
    QString samplingPoint;   // "Пункт отбора", from stream version 2
    QString text2;
    double value34 = 0.0;    // from stream version 3
    double value35 = 0.0;
    std::int64_t samplingTime = 0; // seconds since 1970-01-01 00:00 UTC; default today 00:00 local
    std::int64_t analysisTime = 0; // seconds since 1970-01-01 00:00 UTC; default now
    QString comment;         // "КОММЕНТАРИЙ"

    // Reads the passport from the bytes of a "Passport" stream. Throws
    // ArchiveException on a bad signature or version or a stream cut short;
    // the passport is then left as it was.
    void Serialize(const QByteArray& stream);

    // The passport as the multi-line text the opening dialog shows (times in local time).
    QString FormatDescription() const;

    // Same as the free ReadPassportOnly on this passport.
    bool ReadPassportOnly(const QString& path);
};

// Reads only the passport of a "*.stg" file and keeps the path in it. false,
// with the passport left as it was, when the file is not a readable compound
// file, has no "Passport" stream or the stream is damaged.
bool ReadPassportOnly(CPassport& passport, const QString& path);
// The same over the bytes of a whole "*.stg" file (tests, fuzzing); the path
// stored is the one given.
bool ReadPassportOnlyFromBytes(CPassport& passport, const QByteArray& fileBytes, const QString& path = QString());
