#include "support/ChromatogramFiles.h"

namespace testsupport {

bool writeChromatogramFile(const QString& path, const ChromatogramFile& file)
{
    StgTable table;
    table.peaks = file.peaks;
    StgPassport passport;
    passport.version = file.passportVersion;
    passport.sample = file.sample;
    passport.method = file.method;
    passport.samplingSpot = file.samplingSpot;
    passport.samplingPoint = file.samplingPoint;
    passport.calibrationFlag = file.calibration ? 1u : 0u;
    passport.analysisTime = file.analysisTime;
    const std::vector<float> triangles = {0, 0, 2, 4, 2, 0, 0, 1, 3, 1, 0, 0, 0};
    return writeStgFile(path, stgStreams(file.samples.empty() ? triangles : file.samples, 0.0f, 0.25f, 0.5f, table, passport));
}

bool writePassportFile(const QString& path, const QString& sample, const QString& method,
                       const QString& samplingPoint, const QString& samplingSpot, bool calibration,
                       std::int64_t analysisTime)
{
    ChromatogramFile file;
    file.sample = sample;
    file.method = method;
    file.samplingPoint = samplingPoint;
    file.samplingSpot = samplingSpot;
    file.calibration = calibration;
    file.analysisTime = analysisTime;
    return writeChromatogramFile(path, file);
}

} // namespace testsupport
