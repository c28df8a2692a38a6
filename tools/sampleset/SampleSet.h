#pragma once

// A complete laboratory set for one sampling run of a gas-condensate well:
// a chromatogram for every role of the calculation, the cylinder database
// and the profile with the laboratory's settings (type patterns, analysis
// counts, blank subtraction, sampling parameters, the folder to scan).
// Everything is made from fixed numbers, so two sets are byte for byte the
// same and the results of a recalculation on them are known in advance.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "data/Mixtures.h"
#include "support/StgWriter.h"

class GeneralSettings;
class SamplingParameters;

namespace sampleset {

// Minutes per sample of every chromatogram: a power of two, so that sample
// times and peak boundaries are exact binary fractions.
inline constexpr double kStep = 1.0 / 1024.0;

// A bell-shaped peak: height × (1 − u²)³ with u = (t − apex) / halfWidth,
// zero beyond |u| = 1. Its area is height × halfWidth × 32/35.
struct Bump
{
    double apex = 0.0;       // min
    double halfWidth = 0.0;  // min
    double height = 0.0;
};

// A signal from time 0: base + drift × t, deterministic noise of the given
// full width, then the bumps in order, each summed in double and rounded to
// single precision at the end.
struct SignalPlan
{
    double minutes = 0.0;
    double base = 0.0;
    double drift = 0.0;     // per minute
    double noise = 0.0;     // full width of the uniform noise
    std::uint64_t seed = 1;
    std::vector<Bump> bumps;
};

// At another step the signal is the same curve, sampled more or less often.
std::vector<float> RenderSignal(const SignalPlan& plan, double step = kStep);

struct PeakPlan
{
    QString name;
    double start = 0.0;  // min
    double end = 0.0;
    double concentration = 0.0;
};

struct ChromatogramPlan
{
    QString fileName;
    QString sample;
    QString method;
    bool calibration = false;
    std::int64_t analysisTime = 0;  // seconds since 1970, UTC
    SignalPlan signal;
    std::vector<PeakPlan> peaks;
};

// The chromatograms of the set, in the order they were run.
std::vector<ChromatogramPlan> SampleChromatograms();

// What a chromatogram of the set is written with, besides its signal: its
// peak table, and its passport (sample, method, times, sampling place).
testsupport::StgTable SampleTable(const ChromatogramPlan& plan);
testsupport::StgPassport SamplePassport(const ChromatogramPlan& plan);

// The laboratory's cylinders: separator gas, degassing gas, condensate.
MixtureList SampleCylinders();

// The laboratory's general settings (type patterns, counts, blank
// subtraction) and the sampling parameters of the run.
void ApplySampleSettings(GeneralSettings& general);
void ApplySampleParameters(SamplingParameters& params);

struct WrittenSet
{
    QString folder;
    QStringList chromatograms;  // full paths, in run order
    QString mixturesPath;       // the cylinder database
    QString profilePath;        // the settings profile, an INI file
};

// Names inside the set's folder.
QString ChromatogramFolderName();  // sub-folder of the ".stg" files
QString MixturesFileName();
QString ProfileFileName();

// Writes the whole set into the folder, making it as needed; false, with a
// reason in error, when anything could not be written.
bool WriteSampleSet(const QString& folder, WrittenSet* written = nullptr, QString* error = nullptr);

} // namespace sampleset
