#pragma once

#include "support/StgWriter.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

// Whole, readable "*.stg" files as the main window adds them: the passport
// fields the list shows and uses, and a peak table over a fixed signal.
namespace testsupport {

struct ChromatogramFile
{
    QString sample;
    QString method;
    QString samplingSpot;
    QString samplingPoint; // the passport's "Пункт отбора", stored from version 2
    int passportVersion = 3;
    bool calibration = false;
    std::int64_t analysisTime = 0; // seconds since 1970
    // Boundaries within 0..3 min. The signal is 0,0,2,4,2,0,0,1,3,1,0,0,0
    // every 0.25 min from 0: a triangle of area 2 between 0.25 and 1.25 min
    // and one of area 1.25 between 1.5 and 2.5 min.
    QList<StgPeak> peaks;
    std::vector<float> samples; // every 0.25 min from 0; empty: the signal above
};

bool writeChromatogramFile(const QString& path, const ChromatogramFile& file);

// A file with a passport and no peaks, as a folder listing reads it.
bool writePassportFile(const QString& path, const QString& sample, const QString& method,
                       const QString& samplingPoint, const QString& samplingSpot, bool calibration,
                       std::int64_t analysisTime);

} // namespace testsupport
