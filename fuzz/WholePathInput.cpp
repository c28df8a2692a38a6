#include "WholePathInput.h"

#include "data/ChromatogramFolders.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wholepath {

namespace {

// Fields in input order; past the end every field is zero.
class Reader
{
public:
    explicit Reader(const QByteArray& bytes)
        : m_bytes(bytes)
    {
    }

    template <typename T>
    T number()
    {
        unsigned char raw[sizeof(T)] = {};
        for (std::size_t i = 0; i < sizeof(T) && m_pos < m_bytes.size(); ++i)
            raw[i] = static_cast<unsigned char>(m_bytes[m_pos++]);
        T value;
        std::memcpy(&value, raw, sizeof(T));  // the machines we fuzz on are little-endian
        return value;
    }
    template <typename T>
    void number(T& value)
    {
        value = number<T>();
    }
    int byte() { return number<std::uint8_t>(); }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    QString text()
    {
        const qsizetype length = std::min<qsizetype>(byte(), m_bytes.size() - m_pos);
        const QString s = QString::fromUtf8(m_bytes.constData() + m_pos, length);
        m_pos += length;
        return s;
    }
    void text(QString& s) { s = text(); }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

class Writer
{
public:
    template <typename T>
    void number(T value)
    {
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        m_bytes.append(raw, sizeof(T));
    }
    void byte(int value) { number(static_cast<std::uint8_t>(value)); }
    // Texts longer than a u8 length are cut; the set's are far shorter.
    void text(const QString& s)
    {
        const QByteArray utf8 = s.toUtf8().left(255);
        byte(static_cast<int>(utf8.size()));
        m_bytes += utf8;
    }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

enum RunForm : int {
    CfbVersion4 = 1,
    PassportWide = 2,
    PassportShortTimes = 4,
    TableWide = 8,
    TableHeader = 16,
    TableCount = 32,  // a peak count of its own follows the rows
};

enum CylinderForm : int {
    CylinderAnsi = 1,
    CylinderTime32 = 2,
    CylinderCount = 4,  // a component count of its own follows the type
    ComponentsAnsi = 8,
};

constexpr bool ReportSettings::*kSections[] = {
    &ReportSettings::enableAssayList, &ReportSettings::enableMixtureList, &ReportSettings::enableGsResult,
    &ReportSettings::enableGdResult,  &ReportSettings::enableDcResult,    &ReportSettings::enablePgResult,
    &ReportSettings::enableSystemMsgs};

constexpr int kSwitchCount = 5;
constexpr int GeneralSettings::*kSwitches[kSwitchCount] = {
    &GeneralSettings::enGsGradCorrect, &GeneralSettings::enGsAnalysCorrect, &GeneralSettings::enGdGradCorrect,
    &GeneralSettings::enGdAnalysCorrect, &GeneralSettings::enBlankSubtraction};

// The flat field lists, shared by Reader and Writer so that the decoder and
// the encoder keep one order. A few passport fields that mean nothing to the
// reader are left at the writer's defaults.
template <typename Io, typename P>
void passportFields(Io& io, P& p)
{
    io.text(p.sample);
    io.text(p.method);
    io.text(p.samplingSpot);
    io.text(p.samplingPoint);
    io.text(p.operatorName);
    io.number(p.analysisTime);
    io.number(p.samplingTime);
    io.number(p.calibrationFlag);
    io.number(p.duration);
    io.number(p.volume);
    io.number(p.dilution);
    io.number(p.norm);
}

// The "Time" stream and the signal's plan, but its bumps.
template <typename Io, typename R>
void signalFields(Io& io, R& run)
{
    io.number(run.t0);
    io.number(run.t1);
    io.number(run.t2);
    io.number(run.signal.minutes);
    io.number(run.signal.base);
    io.number(run.signal.drift);
    io.number(run.signal.noise);
    io.number(run.signal.seed);
}

template <typename Io, typename B>
void bumpFields(Io& io, B& b)
{
    io.number(b.apex);
    io.number(b.halfWidth);
    io.number(b.height);
}

template <typename Io, typename P>
void peakFields(Io& io, P& p)
{
    io.text(p.name);
    io.number(p.start);
    io.number(p.end);
    io.number(p.concentration);
    io.number(p.next);
}

template <typename Io, typename C>
void cylinderFields(Io& io, C& c)
{
    io.number(c.number);
    io.text(c.name);
    io.text(c.identifier);
    io.number(c.date);
    io.number(c.type);
}

template <typename Io, typename K>
void componentFields(Io& io, K& k)
{
    io.number(k.number);
    io.text(k.name);
    io.number(k.concentration);
    io.number(k.uncertainty);
}

void decodeSettings(Reader& r, Input& in)
{
    in.general.qtySymInProg = r.number<std::int8_t>();
    in.general.qtySymInReport = r.number<std::int8_t>();
    const int switches = r.byte();
    for (int i = 0; i < kSwitchCount; ++i)
        in.general.*kSwitches[i] = (switches >> i) & 1;
    const int counts = r.number<std::uint16_t>();
    const auto& countFields = GeneralSettings::AnalysisCounts();
    for (std::size_t i = 0; i < countFields.size(); ++i)
        in.general.*countFields[i].member = (counts >> i) & 1;
    in.general.TimeStartSample = r.number<double>();
    for (int n = r.byte(); n > 0; --n) {
        const int row = r.byte() % TypeRuleTable::RowCount;
        const QString method = r.text();
        in.general.typeRules.SetMethodPattern(row, method);
        in.general.typeRules.SetSamplePattern(row, r.text());
    }
    const auto& fields = SamplingParameters::Fields();
    const int given = std::min<int>(r.byte(), SamplingParameters::FieldCount);
    for (int i = 0; i < given; ++i)
        in.params.*fields[static_cast<std::size_t>(i)].member = r.number<double>();
    in.report.deviceNumber = r.text();
    in.report.operatorName = r.text();
    const int sections = r.byte();
    for (std::size_t i = 0; i < std::size(kSections); ++i)
        in.report.*kSections[i] = (sections >> i) & 1;
}

void encodeSettings(Writer& w, const Input& in)
{
    w.number(static_cast<std::int8_t>(in.general.qtySymInProg));
    w.number(static_cast<std::int8_t>(in.general.qtySymInReport));
    int switches = 0;
    for (int i = 0; i < kSwitchCount; ++i)
        switches |= (in.general.*kSwitches[i] != 0) << i;
    w.byte(switches);
    int counts = 0;
    const auto& countFields = GeneralSettings::AnalysisCounts();
    for (std::size_t i = 0; i < countFields.size(); ++i)
        counts |= (in.general.*countFields[i].member != 0) << i;
    w.number(static_cast<std::uint16_t>(counts));
    w.number(in.general.TimeStartSample);
    const std::vector<TypeRule>& rules = in.general.typeRules.rules();
    w.byte(static_cast<int>(std::count_if(rules.begin(), rules.end(), [](const TypeRule& t) { return t.stored; })));
    for (std::size_t row = 0; row < rules.size(); ++row) {
        if (!rules[row].stored)
            continue;
        w.byte(static_cast<int>(row));
        w.text(rules[row].methodPattern);
        w.text(rules[row].samplePattern);
    }
    w.byte(SamplingParameters::FieldCount);
    for (const SamplingParameters::Field& field : SamplingParameters::Fields())
        w.number(in.params.*field.member);
    w.text(in.report.deviceNumber);
    w.text(in.report.operatorName);
    int sections = 0;
    for (std::size_t i = 0; i < std::size(kSections); ++i)
        sections |= int(in.report.*kSections[i]) << i;
    w.byte(sections);
}

void decodeCylinders(Reader& r, Input& in)
{
    for (int n = std::min(r.byte(), kMaxCylinders); n > 0 && !r.atEnd(); --n) {
        testsupport::ArchiveCylinder c;
        const int form = r.byte();
        c.ansiStrings = form & CylinderAnsi;
        c.time32 = form & CylinderTime32;
        cylinderFields(r, c);
        if (form & CylinderCount)
            c.componentCount = r.number<std::uint32_t>();
        for (int m = std::min(r.byte(), kMaxComponents); m > 0 && !r.atEnd(); --m) {
            testsupport::ArchiveComponent k;
            k.ansiName = form & ComponentsAnsi;
            componentFields(r, k);
            c.components.push_back(k);
        }
        in.cylinders.push_back(c);
    }
}

void encodeCylinders(Writer& w, const Input& in)
{
    w.byte(static_cast<int>(in.cylinders.size()));
    for (const testsupport::ArchiveCylinder& c : in.cylinders) {
        const bool ansiComponents = !c.components.empty() && c.components.front().ansiName;
        w.byte((c.ansiStrings ? CylinderAnsi : 0) | (c.time32 ? CylinderTime32 : 0)
               | (c.componentCount ? CylinderCount : 0) | (ansiComponents ? ComponentsAnsi : 0));
        cylinderFields(w, c);
        if (c.componentCount)
            w.number(*c.componentCount);
        w.byte(static_cast<int>(c.components.size()));
        for (const testsupport::ArchiveComponent& k : c.components)
            componentFields(w, k);
    }
}

// Sizes are capped over the whole input, so that no input writes without bound.
struct Budget
{
    qsizetype samples = kMaxSamples;
    int peaks = kMaxPeaks;
};

double renderStep(const Run& run)
{
    const float step = run.t1 - run.t0;
    return std::isfinite(step) && step >= sampleset::kStep && step <= kMaxStep ? step : kCoarseStep;
}

Run decodeRun(Reader& r, Budget& budget)
{
    Run run;
    run.name = r.text();
    const int form = r.byte();
    run.cfbVersion = form & CfbVersion4 ? 4 : 3;
    run.passport.wideStrings = form & PassportWide;
    run.passport.shortTimes = form & PassportShortTimes;
    run.table.wideStrings = form & TableWide;
    run.table.header = form & TableHeader;
    run.passport.version = r.number<std::int8_t>();
    run.table.version = r.number<std::int8_t>();
    passportFields(r, run.passport);
    signalFields(r, run);
    sampleset::SignalPlan& s = run.signal;
    // NaN and negative lengths draw no signal; longer ones are cut.
    s.minutes = s.minutes >= 0.0 ? std::min(s.minutes, kMaxMinutes) : 0.0;
    const auto count = static_cast<qsizetype>(std::llround(s.minutes / renderStep(run)));
    if (count > budget.samples)
        s.minutes = 0.0;
    else
        budget.samples -= count;
    for (int n = r.byte(); n > 0 && !r.atEnd(); --n) {
        sampleset::Bump b;
        bumpFields(r, b);
        if (std::fabs(b.halfWidth) > kMaxHalfWidth)
            b.halfWidth = std::copysign(kMaxHalfWidth, b.halfWidth);
        s.bumps.push_back(b);
    }
    for (int n = r.byte(); n > 0 && !r.atEnd(); --n) {
        const auto index = r.number<std::uint32_t>();
        run.spikes.emplace_back(index, r.number<float>());
    }

    const int listed = std::min<int>(r.number<std::uint16_t>(), kMaxPeaksPerRun);
    for (int n = 0; n < listed && !r.atEnd(); ++n) {
        testsupport::StgPeak p;
        peakFields(r, p);
        run.table.peaks.append(p);
    }
    run.peakRows = std::min({static_cast<int>(r.number<std::uint16_t>()), kMaxPeaksPerRun, budget.peaks});
    budget.peaks -= run.peakRows;
    if (form & TableCount)
        run.table.count = r.number<std::uint32_t>();
    return run;
}

void encodeRun(Writer& w, const Run& run)
{
    w.text(run.name);
    w.byte((run.cfbVersion == 4 ? CfbVersion4 : 0) | (run.passport.wideStrings ? PassportWide : 0)
           | (run.passport.shortTimes ? PassportShortTimes : 0) | (run.table.wideStrings ? TableWide : 0)
           | (run.table.header ? TableHeader : 0) | (run.table.count ? TableCount : 0));
    w.number(static_cast<std::int8_t>(run.passport.version));
    w.number(static_cast<std::int8_t>(run.table.version));
    passportFields(w, run.passport);
    signalFields(w, run);
    w.byte(static_cast<int>(run.signal.bumps.size()));
    for (const sampleset::Bump& b : run.signal.bumps)
        bumpFields(w, b);
    w.byte(static_cast<int>(run.spikes.size()));
    for (const auto& [index, value] : run.spikes) {
        w.number(index);
        w.number(value);
    }

    w.number(static_cast<std::uint16_t>(run.table.peaks.size()));
    for (const testsupport::StgPeak& p : run.table.peaks)
        peakFields(w, p);
    w.number(static_cast<std::uint16_t>(run.peakRows));
    if (run.table.count)
        w.number(*run.table.count);
}

// A file name of safe characters, unique in the folder whatever the file
// system's letter case.
QString fileName(const QString& name, int index, QSet<QString>& taken)
{
    QString safe;
    for (QChar c : name) {
        const bool safeChar = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
                              || c == u'_' || c == u'-';
        if (safe.size() < 40 && safeChar)
            safe += c;
    }
    if (safe.isEmpty() || taken.contains(safe.toLower()))
        safe += QStringLiteral("run-%1").arg(index);
    taken.insert(safe.toLower());
    return safe + QStringLiteral(".stg");
}

bool writeRun(const Run& run, const QString& path)
{
    std::vector<float> samples = sampleset::RenderSignal(run.signal, renderStep(run));
    for (const auto& [index, value] : run.spikes) {
        if (index < samples.size())
            samples[index] = value;
    }
    // Rows past the listed ones repeat the listed ones of finite, ordered
    // times later in time, one span of them further each round: a long
    // table, not copies of one peak.
    testsupport::StgTable table = run.table;
    QList<testsupport::StgPeak> repeated;
    double last = 0.0;
    for (const testsupport::StgPeak& p : run.table.peaks) {
        if (std::isfinite(p.start) && std::isfinite(p.end) && p.start <= p.end && p.start >= 0.0) {
            repeated.append(p);
            last = std::max(last, p.end);
        }
    }
    for (qsizetype i = 0; table.peaks.size() < run.peakRows && last > 0.0 && !repeated.isEmpty(); ++i) {
        testsupport::StgPeak p = repeated[i % repeated.size()];
        const double shift = last * static_cast<double>(i / repeated.size() + 1);
        p.start += shift;
        p.end += shift;
        table.peaks.append(p);
    }
    table.peaks.resize(std::min<qsizetype>(table.peaks.size(), run.peakRows));
    testsupport::CfbOptions options;
    options.majorVersion = run.cfbVersion;
    return testsupport::writeStgFile(path, testsupport::stgStreams(samples, run.t0, run.t1, run.t2, table, run.passport),
                                     options);
}

} // namespace

Input Decode(const QByteArray& bytes)
{
    Reader r(bytes);
    Input in;
    decodeSettings(r, in);
    decodeCylinders(r, in);
    in.firstAdded = r.byte();
    Budget budget;
    for (int n = std::min(r.byte(), kMaxRuns); n > 0 && !r.atEnd(); --n)
        in.runs.push_back(decodeRun(r, budget));
    return in;
}

QByteArray Encode(const Input& in)
{
    Writer w;
    encodeSettings(w, in);
    encodeCylinders(w, in);
    w.byte(in.firstAdded);
    w.byte(static_cast<int>(in.runs.size()));
    for (const Run& run : in.runs)
        encodeRun(w, run);
    return w.bytes();
}

Input SampleSetInput(double step)
{
    Input in;
    sampleset::ApplySampleSettings(in.general);
    sampleset::ApplySampleParameters(in.params);
    for (const MixturePtr& m : sampleset::SampleCylinders()) {
        testsupport::ArchiveCylinder c = testsupport::makeCylinder(m->number, m->name, m->identifier, m->date, m->type);
        for (const MixCompData& k : m->components)
            c.components.push_back({k.number, k.name, k.concentration, k.uncertainty});
        in.cylinders.push_back(c);
    }
    for (const sampleset::ChromatogramPlan& plan : sampleset::SampleChromatograms()) {
        Run run;
        run.name = plan.fileName.chopped(4);  // without ".stg"
        run.t1 = static_cast<float>(step);
        run.t2 = static_cast<float>(2.0 * step);
        run.signal = plan.signal;
        run.table = sampleset::SampleTable(plan);
        run.peakRows = static_cast<int>(run.table.peaks.size());
        run.passport = sampleset::SamplePassport(plan);
        in.runs.push_back(run);
    }
    in.report.deviceNumber = QStringLiteral("Кристалл-5000 №17");
    in.report.operatorName = QStringLiteral("Петрова А. В.");
    // The gas runs come with the first "Добавить", the condensate's with a second.
    in.firstAdded = static_cast<int>(in.runs.size()) / 2;
    return in;
}

bool Write(const Input& in, const QString& folder, Written* written)
{
    const QDir root(folder);
    Written w;
    w.chromatogramFolder = root.filePath(sampleset::ChromatogramFolderName());
    w.mixturesPath = root.filePath(sampleset::MixturesFileName());
    w.profilePath = root.filePath(sampleset::ProfileFileName());
    if (!root.mkpath(w.chromatogramFolder))
        return false;
    QSet<QString> taken;
    for (std::size_t i = 0; i < in.runs.size(); ++i) {
        const QString path = QDir(w.chromatogramFolder).filePath(fileName(in.runs[i].name, static_cast<int>(i), taken));
        if (!writeRun(in.runs[i], path))
            return false;
    }

    QFile mixtures(w.mixturesPath);
    const QByteArray archive = testsupport::buildMixturesArchive(in.cylinders);
    if (!mixtures.open(QIODevice::WriteOnly | QIODevice::Truncate) || mixtures.write(archive) != archive.size())
        return false;
    mixtures.close();

    QFile::remove(w.profilePath);
    {
        Profile profile(w.profilePath);
        in.general.SaveSettings(profile);
        in.params.SaveSettings(profile);
        ChromatogramFolders folders;
        folders.AddFolder(w.chromatogramFolder);
        folders.SaveSettings(profile);
        if (!profile.sync())
            return false;
    }
    if (written)
        *written = w;
    return true;
}

} // namespace wholepath
