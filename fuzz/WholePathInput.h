#pragma once

// The input of the whole-path fuzz target, described field by field: the
// settings profile, the cylinder database and the chromatograms of a run
// set. A mutation of the bytes changes a sample name, a time, a method, a
// signal or a peak table rather than breaking a container, since the files
// themselves are written from the fields by the test writers.
//
// Every field is read in order from the bytes: numbers little-endian as
// they lie, texts as a u8 length and UTF-8. Past the end of the input every
// field reads as zero, so that any bytes decode, and no further list item
// (run, peak, cylinder...) begins. Counts and sizes are capped as they are
// read, so one input never writes more than a few megabytes.

#include "data/GeneralSettings.h"
#include "data/SamplingParameters.h"
#include "report/ReportSettings.h"
#include "sampleset/SampleSet.h"
#include "support/MixturesArchiveBuilder.h"
#include "support/StgWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace wholepath {

inline constexpr int kMaxRuns = 32;          // the sample set has 30
inline constexpr int kMaxCylinders = 8;
inline constexpr int kMaxComponents = 64;
inline constexpr int kMaxBumps = 255;
inline constexpr double kMaxMinutes = 64.0;  // 65536 samples at the finest step
inline constexpr double kMaxStep = 1.0;      // min
// The seeds' step, and a signal's where its "Time" stream gives none that
// fits: most mutations of a time land there, and a run of it takes a few ms.
inline constexpr double kCoarseStep = 8.0 * sampleset::kStep;
inline constexpr double kMaxHalfWidth = 1.0; // min: a bump touches at most 2048 samples
inline constexpr int kMaxPeaksPerRun = 256;  // written rows, the listed ones repeated
inline constexpr int kMaxPeaks = 512;        // over all runs; the sample set has 345
inline constexpr qsizetype kMaxSamples = 1 << 21; // over all runs

struct Run
{
    QString name;          // file name without ".stg"; kept to [A-Za-z0-9_-]
    int cfbVersion = 3;    // 3 or 4
    // The "Time" stream. The signal is drawn at the step t1 − t0 gives, as
    // the reader takes it, where that lies in [sampleset::kStep, kMaxStep];
    // at kCoarseStep otherwise.
    float t0 = 0.0f;
    float t1 = 0.0f;
    float t2 = 0.0f;
    sampleset::SignalPlan signal;
    // Samples set after the signal is drawn (NaN, infinities, spikes);
    // indices past the end are left out.
    std::vector<std::pair<std::uint32_t, float>> spikes;
    testsupport::StgTable table;
    int peakRows = 0;      // rows written: table.peaks, then the sound ones again later in time
    testsupport::StgPassport passport;
};

struct Input
{
    GeneralSettings general;
    SamplingParameters params;
    ReportSettings report;  // the report dialog's fields
    std::vector<testsupport::ArchiveCylinder> cylinders;
    std::vector<Run> runs;
    // How many of the listed files the first "Добавить" takes; the rest
    // come with a second one.
    int firstAdded = 0;
};

Input Decode(const QByteArray& bytes);
// The inverse of Decode for an input within the caps.
QByteArray Encode(const Input& input);

// The sample set as an input; at another step its signals are sampled
// that much more or less often, with the same peaks and tables.
Input SampleSetInput(double step = sampleset::kStep);

// Where Write puts the set: the same names as the sample set's.
struct Written
{
    QString chromatogramFolder;
    QString mixturesPath;
    QString profilePath;
};

// Writes the chromatograms, the cylinder database and the profile (which
// names the chromatogram folder) into the folder, which must exist; false
// when a file could not be written.
bool Write(const Input& input, const QString& folder, Written* written = nullptr);

} // namespace wholepath
