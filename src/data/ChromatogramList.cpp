#include "data/ChromatogramList.h"

#include "data/ChmFile.h"

#include <QDir>
#include <QHash>
#include <QMultiHash>
#include <QSet>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace {

std::uint64_t sortKey(const ChromatogramRecord& record)
{
    // The number is taken as unsigned; 64 bits keep the offset from wrapping a
    // large number round to the keys of the records without a cylinder.
    return record.mixture ? std::uint64_t(static_cast<std::uint32_t>(record.mixture->number)) + 1000u : 0u;
}

// Why a name from another system cannot be opened by; the warning shows it
// with \xNN for the bytes that are not UTF-8.
const QString kUndecodableFile = QStringLiteral("имя файла не в кодировке UTF-8, файл по нему не открыть");
const QString kUndecodableFolder = QStringLiteral("имя папки не в кодировке UTF-8, папку по нему не открыть");

// What one walk of a configured folder gathers.
struct FolderWalk
{
    QStringList paths;
    QSet<FileIdentity> visited;
    UnreadChromatograms* unread = nullptr;
    QStringList* leftOut = nullptr;
};

void collectFolder(const QString& folder, FolderWalk& walk, bool below = false)
{
    // A folder reached a second time through links is not listed again: a
    // link back up the tree would make the scan endless.
    int error = 0;
    std::vector<FolderEntry> entries = ReadFolderEntries(folder, walk.visited, &error);
    // A folder that cannot be opened or listed whole (no rights, a path too
    // long, a network fault) would hide its runs without a word; a configured
    // one that is not there may be a drive out today.
    if (error != 0 && (below || error != ENOENT) && walk.unread)
        walk.unread->push_back({folder, qt_error_string(error), true});
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    const QDir dir(folder);
    for (const FolderEntry& entry : entries) {
        const QString path = dir.filePath(entry.name);
        if (entry.isFolder) {
            // A dated folder keeps other days' runs, a hidden one no runs at all;
            // "Добавить" takes the runs of such a folder. Only a folder the
            // user sees can be missed, so a hidden one is not told of.
            if (entry.name.contains(QLatin1Char('.'))) {
                if (walk.leftOut && !entry.name.startsWith(QLatin1Char('.')))
                    walk.leftOut->append(path);
                continue;
            }
            if (entry.decodable)
                collectFolder(path, walk, true);
            else if (walk.unread)
                walk.unread->push_back({path, kUndecodableFolder, true});
            continue;
        }
        if (!entry.name.endsWith(QStringLiteral(".stg"), Qt::CaseInsensitive))
            continue;
        if (entry.decodable)
            walk.paths.append(path);
        else if (walk.unread)
            walk.unread->push_back({path, kUndecodableFile});
    }
}

// Samples spread evenly over the signal, and its length: the noise of two
// runs tells them apart in any few samples, and the print only picks the rows
// whose samples are compared in full. Hashing every sample would cost a tenth
// of reading the file.
std::uint64_t signalFingerprint(const SampleVector& samples)
{
    constexpr std::size_t kTaken = 64;
    const std::size_t stride = std::max<std::size_t>(1, samples.size() / kTaken);
    std::uint64_t hash = samples.size();
    for (std::size_t i = 0; i < samples.size(); i += stride) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &samples[i], sizeof bits); // as stored: a sample that is not a number has bits too
        hash = (hash ^ bits) * 0x100000001B3u;
    }
    return hash;
}

// Reads one file into a record: everything but the ordinal and the cylinder.
// The file object may be one used before: a file read whole replaces all it held.
bool readRecord(const QString& path, COpenedChmFile& file, ChromatogramRecord& record)
{
    if (file.Open(path, &record.identity) == 0)
        return false;

    const CPassport& passport = file.passport();
    record.analysisTime = passport.analysisTime;
    record.path = path;
    record.sample = passport.sample;
    record.method = passport.method;
    record.samplingPoint = passport.samplingPoint; // "Пункт отбора": the well and plant, not the apparatus
    record.signal = file.signal(); // shares the samples, copies none
    record.signalFingerprint = signalFingerprint(std::as_const(record.signal).samples()); // const: no copy of the shared samples
    record.peakTable = file.peakTable();
    record.isCalibration = passport.calibrationFlag != 0;
    BuildPeakItems(record, file.peakTable());
    return true;
}

enum class ReadState { NotReached, Failed, Read };

struct ReadSlot
{
    ReadState state = ReadState::NotReached;
    ChromatogramRecord record;
    QString reason; // why a failed file was not read
};

// What the readers of one batch share. The pool's tasks hold it too, so a
// task that starts only after the batch is over finds it still there.
struct ReadBatch
{
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    int done = 0;        // files finished
    std::atomic<int> readers{0}; // pool tasks reading now; changed under the mutex
    bool closed = false; // no pool task may begin reading any more
};

// Waits, however the batch's scope is left, until no pool task reads any
// more: they write into slots that go with the scope.
class ReadersGuard
{
public:
    explicit ReadersGuard(ReadBatch& batch) : m_batch(batch) {}
    ~ReadersGuard()
    {
        std::unique_lock<std::mutex> lock(m_batch.mutex);
        m_batch.closed = true;
        m_batch.stop = true;
        m_batch.changed.wait(lock, [this] { return m_batch.readers == 0; });
    }
    ReadersGuard(const ReadersGuard&) = delete;
    ReadersGuard& operator=(const ReadersGuard&) = delete;

private:
    ReadBatch& m_batch;
};

// One reader: takes the next path not yet begun until none is left or a stop.
// afterEach, if given, runs after each file; false from it stops the batch.
void readFiles(ReadBatch& batch, const QStringList& paths, std::vector<ReadSlot>& readSlots,
               const std::function<bool()>& afterEach = {})
{
    const int total = static_cast<int>(paths.size());
    // One file object for all: a new one would look up the local time zone for its passport.
    std::unique_ptr<COpenedChmFile> file;
    try {
        file = std::make_unique<COpenedChmFile>();
    } catch (...) {
        return; // no memory for one more reader: the others read the files
    }
    while (!batch.stop.load()) {
        const int i = batch.next.fetch_add(1);
        if (i >= total)
            return;
        ReadSlot& slot = readSlots[static_cast<std::size_t>(i)];
        try {
            slot.state = readRecord(paths[i], *file, slot.record) ? ReadState::Read : ReadState::Failed;
            if (slot.state == ReadState::Failed)
                slot.reason = file->errorString();
        } catch (...) {
            // Memory for one more signal refused: that file is not listed.
            slot.record = ChromatogramRecord();
            slot.state = ReadState::Failed;
            slot.reason = QStringLiteral("недостаточно памяти");
        }
        {
            std::lock_guard<std::mutex> lock(batch.mutex);
            ++batch.done;
        }
        batch.changed.notify_all();
        if (afterEach && !afterEach())
            batch.stop = true;
    }
}

// Starts count readers on the shared pool. Waking a sleeping thread costs
// the waker as much as reading a small file, so each reader started wakes
// half of those still wanted rather than the calling thread waking them all.
void offerReaders(const std::shared_ptr<ReadBatch>& batch, const QStringList& paths,
                  std::vector<ReadSlot>& readSlots, int count)
{
    if (count <= 0)
        return;
    const int rest = count - 1;
    QThreadPool::globalInstance()->start([batch, &paths, &readSlots, rest] {
        {
            std::lock_guard<std::mutex> lock(batch->mutex);
            if (batch->closed)
                return;
            ++batch->readers;
        }
        try {
            offerReaders(batch, paths, readSlots, rest - rest / 2);
            offerReaders(batch, paths, readSlots, rest / 2);
        } catch (...) {
            // No memory to start more: the readers running share the work.
        }
        readFiles(*batch, paths, readSlots);
        // Nothing of the caller's is touched after this: it may return at once.
        std::lock_guard<std::mutex> lock(batch->mutex);
        --batch->readers;
        batch->changed.notify_all();
    });
}

// Reads the files on the calling thread and on the shared pool's threads,
// one slot per path in path order; a stop leaves the tail of the list
// unread. The pool keeps its threads between batches: starting a thread
// takes as long as reading a small file. The calling thread reads too, so
// the batch ends even when the pool is busy with other work.
std::vector<ReadSlot> readAll(const QStringList& paths, const ReadProgress& progress)
{
    const int total = static_cast<int>(paths.size());
    std::vector<ReadSlot> readSlots(static_cast<std::size_t>(total));
    if (total == 0)
        return readSlots;

    // The first report comes before any file is begun, so a stop there reads nothing.
    if (progress && !progress(0, total))
        return readSlots;

    auto batch = std::make_shared<ReadBatch>();
    const ReadersGuard readersDone(*batch);
    const int helpers = std::clamp(QThreadPool::globalInstance()->maxThreadCount(), 1, total) - 1;
    try {
        offerReaders(batch, paths, readSlots, helpers);
    } catch (...) {
        // No memory to start a reader: this thread reads them all.
    }

    // A report that fails stops the batch like a refusal; the failure is
    // passed on once no reader is left that could touch the slots.
    std::exception_ptr failure;
    auto report = [&](int now) {
        if (!progress || failure)
            return !failure;
        try {
            return progress(now, total);
        } catch (...) {
            failure = std::current_exception();
            return false;
        }
    };
    std::function<bool()> afterEach;
    if (progress) {
        afterEach = [&] {
            int now = 0;
            {
                std::lock_guard<std::mutex> lock(batch->mutex);
                now = batch->done;
            }
            return report(now);
        };
    }
    readFiles(*batch, paths, readSlots, afterEach);

    // Tasks still queued find the batch closed; those reading finish their file.
    std::unique_lock<std::mutex> lock(batch->mutex);
    batch->closed = true;
    lock.unlock();
    // The files still being read take a few microseconds each, while waking
    // a thread that went to sleep can take a hundred: the end is awaited
    // awake for a short while before going to sleep on it.
    const auto awake = std::chrono::steady_clock::now() + std::chrono::milliseconds(2);
    while (batch->readers.load() > 0 && std::chrono::steady_clock::now() < awake)
        std::this_thread::yield();
    lock.lock();
    while (batch->readers > 0) {
        if (!progress || batch->stop.load()) {
            batch->changed.wait(lock);
            continue;
        }
        batch->changed.wait_for(lock, std::chrono::milliseconds(50));
        const int now = batch->done;
        lock.unlock();
        const bool goOn = report(now);
        lock.lock();
        if (!goOn)
            batch->stop = true;
    }
    const bool complete = !batch->stop.load() && batch->done == total;
    lock.unlock();
    if (failure)
        std::rethrow_exception(failure);
    // The bar shows the batch complete; there is nothing left to stop.
    if (progress && complete)
        progress(total, total);
    return readSlots;
}

QString listKey(const QString& path) { return QDir::cleanPath(path); }

// A listed file deleted outside the program may have left its identity to a
// new file at once, so a listed path that shares the identity is asked again:
// one look per match, not per row.
bool stillSameFile(const QString& listedPath, const FileIdentity& identity)
{
    return SameFile(ReadFileIdentity(listedPath), identity);
}

int findChromatogram(const std::vector<ChromatogramRecord>& records, const QString& path, const FileIdentity& identity)
{
    const QString cleaned = listKey(path);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (listKey(records[i].path) == cleaned
            || (SameFile(records[i].identity, identity) && stillSameFile(records[i].path, identity)))
            return static_cast<int>(i);
    }
    return -1;
}

// One injection: the passport's sample, method and analysis time, and the
// signal sample for sample. A copy of a run's file is that run again, while a
// re-injection of the sample has a time of its own and runs without a time
// differ by their signals.
bool sameRun(const ChromatogramRecord& a, const ChromatogramRecord& b)
{
    if (a.analysisTime != b.analysisTime || a.signalFingerprint != b.signalFingerprint || a.sample != b.sample
        || a.method != b.method || a.signal.start() != b.signal.start() || a.signal.step() != b.signal.step())
        return false;
    const SampleVector& x = a.signal.samples();
    const SampleVector& y = b.signal.samples();
    // As stored, so that a sample that is not a number equals itself.
    return x.size() == y.size() && (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0);
}

// Whether two records of one run have one peak table; as stored, so that an
// area that is not a number equals itself.
bool samePeaks(const ChromatogramRecord& a, const ChromatogramRecord& b)
{
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    return std::equal(a.peaks.begin(), a.peaks.end(), b.peaks.begin(), b.peaks.end(), [&bits](const PeakItem& x, const PeakItem& y) {
        return x.tag == y.tag && x.name == y.name && x.sortGroup == y.sortGroup && bits(x.area) == bits(y.area)
               && bits(x.concentration) == bits(y.concentration) && bits(x.retentionTime) == bits(y.retentionTime)
               && bits(x.startTime) == bits(y.startTime) && bits(x.endTime) == bits(y.endTime);
    });
}

// Whether the row's own path still holds its run, by what the file there
// holds now: a file written over in place, or a new file given the freed
// identity of a deleted one, is the same file to the system but not the run.
bool pathHoldsRun(const ChromatogramRecord& row)
{
    try {
        COpenedChmFile file;
        ChromatogramRecord there;
        return readRecord(row.path, file, there) && sameRun(there, row);
    } catch (...) {
        return false;
    }
}

// A file read, against the list.
struct Placement
{
    // Its run: not listed; listed at a path that holds it no more (it moved,
    // or another run took the name); or listed where it was (this very file,
    // or another holding the run).
    enum class Run { New, Moved, WhereItWas } run = Run::New;
    int runRow = -1;
    // WhereItWas: the file is the row's own, by this path or another.
    bool sameFile = false;
    // The row listed at the file's path with a run the file holds no more, or -1.
    int replacedRow = -1;
};

// The rows while a batch is placed: by path, by run (a file read is compared
// in full only with the rows of its time and signal print, so a start of many
// runs does not compare every file with every row), and whether each row's
// path still holds its run, read again at most once a batch.
class ListIndex
{
public:
    enum class Holds : char { Unknown, Yes, No, Gone };

    explicit ListIndex(const std::vector<ChromatogramRecord>& records) : m_records(records)
    {
        for (std::size_t i = 0; i < records.size(); ++i)
            add(static_cast<int>(i), Holds::Unknown);
    }

    // Indexes the row as it stands now: a new one, or one that took another
    // file; key is its path cleaned, when known.
    void add(int row, Holds holds, QString key = {})
    {
        const auto at = static_cast<std::size_t>(row);
        if (at >= m_holds.size()) {
            m_holds.resize(at + 1);
            m_keys.resize(at + 1);
        }
        forgetPath(row);
        m_keys[at] = key.isNull() ? listKey(m_records[at].path) : std::move(key);
        m_paths.insert(m_keys[at], row);
        m_runs.insert(runKey(m_records[at]), row);
        m_holds[at] = holds;
    }

    bool listed(const QString& key) const { return m_paths.contains(key); }

    void drop(int row)
    {
        forgetPath(row);
        m_holds[static_cast<std::size_t>(row)] = Holds::Gone;
    }

    // key: the record's path cleaned.
    Placement place(const ChromatogramRecord& record, const QString& key)
    {
        Placement p;
        if (const auto at = m_paths.constFind(key); at != m_paths.cend()) {
            if (sameRun(m_records[static_cast<std::size_t>(*at)], record)) {
                p.run = Placement::Run::WhereItWas;
                p.runRow = *at;
                p.sameFile = true;
                return p;
            }
            p.replacedRow = *at;
        }
        p.runRow = findRun(record);
        if (p.runRow < 0)
            return p;
        const ChromatogramRecord& row = m_records[static_cast<std::size_t>(p.runRow)];
        if (!holdsRun(p.runRow)) {
            p.run = Placement::Run::Moved;
            return p;
        }
        p.run = Placement::Run::WhereItWas;
        p.sameFile = SameFile(ReadFileIdentity(row.path), record.identity);
        return p;
    }

private:
    using RunKey = std::pair<std::int64_t, std::uint64_t>;
    static RunKey runKey(const ChromatogramRecord& record) { return {record.analysisTime, record.signalFingerprint}; }

    void forgetPath(int row)
    {
        const QString& key = m_keys[static_cast<std::size_t>(row)];
        if (!key.isNull() && m_paths.value(key, -1) == row)
            m_paths.remove(key);
    }

    // The uppermost row of the record's run, or -1.
    int findRun(const ChromatogramRecord& record) const
    {
        int found = -1;
        const RunKey k = runKey(record);
        for (auto it = m_runs.constFind(k); it != m_runs.cend() && it.key() == k; ++it) {
            const int row = it.value();
            if ((found < 0 || row < found) && m_holds[static_cast<std::size_t>(row)] != Holds::Gone
                && sameRun(m_records[static_cast<std::size_t>(row)], record))
                found = row;
        }
        return found;
    }

    bool holdsRun(int row)
    {
        Holds& holds = m_holds[static_cast<std::size_t>(row)];
        if (holds == Holds::Unknown)
            holds = pathHoldsRun(m_records[static_cast<std::size_t>(row)]) ? Holds::Yes : Holds::No;
        return holds == Holds::Yes;
    }

    const std::vector<ChromatogramRecord>& m_records;
    QHash<QString, int> m_paths;
    std::vector<QString> m_keys; // each row's path as indexed
    QMultiHash<RunKey, int> m_runs;
    std::vector<Holds> m_holds;
};

// Lists the record read as a new row, or in the place of the row `moved`
// whose run it is, keeping that row's number; its index.
int takeRecord(std::vector<ChromatogramRecord>& records, ChromatogramRecord&& record, const MixtureList& mixtures,
               int moved = -1)
{
    record.number = moved >= 0 ? records[static_cast<std::size_t>(moved)].number
                               : static_cast<std::int32_t>(records.size()) + 1;
    if (record.isCalibration)
        FindMixtureForSample(record, mixtures);
    if (moved >= 0) {
        records[static_cast<std::size_t>(moved)] = std::move(record);
        return moved;
    }
    records.push_back(std::move(record));
    return static_cast<int>(records.size()) - 1;
}

UnreadChromatogram unreadFile(const QString& path, const QString& reason)
{
    int error = 0;
    ReadFileIdentity(path, &error);
    return {path, reason, false, error == ENOENT};
}

// The files a stop left unread, in path order.
QStringList notReached(const std::vector<ReadSlot>& readSlots, const QStringList& paths)
{
    QStringList left;
    for (std::size_t i = 0; i < readSlots.size(); ++i) {
        if (readSlots[i].state == ReadState::NotReached)
            left.append(paths[static_cast<qsizetype>(i)]);
    }
    return left;
}

} // namespace

int FindChromatogram(const std::vector<ChromatogramRecord>& records, const QString& path)
{
    return findChromatogram(records, path, ReadFileIdentity(path));
}

int AddChromatogram(std::vector<ChromatogramRecord>& records, const QString& path, const MixtureList& mixtures)
{
    if (const int listed = findChromatogram(records, path, ReadFileIdentity(path)); listed >= 0)
        return listed;

    ChromatogramRecord record;
    try {
        COpenedChmFile file;
        if (!readRecord(path, file, record))
            return -1;
    } catch (...) {
        return -1;
    }
    const auto same = std::find_if(records.begin(), records.end(),
                                   [&record](const ChromatogramRecord& listed) { return sameRun(listed, record); });
    const int row = same == records.end() ? -1 : static_cast<int>(same - records.begin());
    if (row >= 0 && pathHoldsRun(*same))
        return row;
    return takeRecord(records, std::move(record), mixtures, row);
}

int AddChromatograms(std::vector<ChromatogramRecord>& records, const QStringList& paths,
                     const MixtureList& mixtures, const ReadProgress& progress, ListReading* reading)
{
    ListReading untold;
    ListReading& told = reading ? *reading : untold;
    QSet<QString> batch;
    QStringList toRead, keys;
    for (const QString& path : paths) {
        const QString key = listKey(path);
        if (batch.contains(key))
            continue;
        batch.insert(key);
        toRead.append(path);
        keys.append(key);
    }

    std::vector<ReadSlot> readSlots = readAll(toRead, progress);
    ListIndex index(records);
    // A listed file a stop left unread stays listed as it was.
    told.leftUnread = notReached(readSlots, toRead);
    told.leftUnread.removeIf([&index](const QString& path) { return index.listed(listKey(path)); });
    QList<int> gone;
    int placed = 0;
    for (std::size_t i = 0; i < readSlots.size(); ++i) {
        ReadSlot& slot = readSlots[i];
        if (slot.state == ReadState::Failed)
            told.unread.push_back(unreadFile(toRead[static_cast<qsizetype>(i)], slot.reason));
        if (slot.state != ReadState::Read)
            continue;
        ChromatogramRecord& record = slot.record;
        const QString& key = keys[static_cast<qsizetype>(i)];
        const Placement p = index.place(record, key);
        if (p.replacedRow >= 0) {
            const ChromatogramRecord& left = records[static_cast<std::size_t>(p.replacedRow)];
            told.replaced.push_back({record.path, left.sample, left.analysisTime});
        }
        // The row at the path goes where the run it held gives way to a run with a row of its own.
        if (p.replacedRow >= 0 && p.run != Placement::Run::New) {
            index.drop(p.replacedRow);
            gone.append(p.replacedRow);
        }
        if (p.run == Placement::Run::WhereItWas) {
            // Listed anew, one run would fill two parallels.
            const ChromatogramRecord& row = records[static_cast<std::size_t>(p.runRow)];
            if (!p.sameFile)
                told.copies.push_back({record.path, row.path, !samePeaks(row, record)});
            continue;
        }
        const int row = takeRecord(records, std::move(record), mixtures,
                                   p.run == Placement::Run::Moved ? p.runRow : p.replacedRow);
        index.add(row, ListIndex::Holds::Yes, key);
        ++placed;
    }
    RemoveChromatograms(records, gone);
    return placed;
}

int RereadChromatograms(std::vector<ChromatogramRecord>& records, const MixtureList& mixtures,
                        const ReadProgress& progress, ListReading* reading)
{
    ListReading untold;
    ListReading& told = reading ? *reading : untold;
    QStringList paths;
    for (const ChromatogramRecord& record : records)
        paths.append(record.path);
    std::vector<ReadSlot> readSlots = readAll(paths, progress);
    told.leftUnread = notReached(readSlots, paths);

    std::vector<ChromatogramRecord> kept;
    kept.reserve(records.size());
    ListIndex keptIndex(kept);
    int dropped = 0;
    for (std::size_t i = 0; i < readSlots.size(); ++i) {
        const QString& path = paths[static_cast<qsizetype>(i)];
        switch (readSlots[i].state) {
        case ReadState::Read: {
            ChromatogramRecord& record = readSlots[i].record;
            if (!sameRun(records[i], record))
                told.replaced.push_back({path, records[i].sample, records[i].analysisTime});
            // A stop leaves only the tail unread, so every row above was read
            // now and holds its run: this file is that run again.
            if (const Placement p = keptIndex.place(record, listKey(path)); p.run != Placement::Run::New) {
                const ChromatogramRecord& row = kept[static_cast<std::size_t>(p.runRow)];
                if (!p.sameFile)
                    told.copies.push_back({path, row.path, !samePeaks(row, record)});
                ++dropped;
                continue;
            }
            kept.push_back(std::move(record));
            break;
        }
        case ReadState::NotReached:
            kept.push_back(std::move(records[i]));
            break;
        case ReadState::Failed:
            told.unread.push_back(unreadFile(path, readSlots[i].reason));
            ++dropped;
            continue;
        }
        ChromatogramRecord& record = kept.back();
        keptIndex.add(static_cast<int>(kept.size()) - 1, ListIndex::Holds::Yes);
        record.number = static_cast<std::int32_t>(kept.size());
        record.mixture = nullptr;
        if (record.isCalibration)
            FindMixtureForSample(record, mixtures);
    }
    records = std::move(kept);
    return dropped;
}

bool FindMixtureForSample(ChromatogramRecord& record, const MixtureList& mixtures)
{
    record.mixture = FindMixtureForSample(record.sample, mixtures);
    return record.mixture != nullptr;
}

int RemoveChromatograms(std::vector<ChromatogramRecord>& records, QList<int> rows)
{
    // From the back, so the positions still to remove keep their meaning.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int removed = 0;
    for (int row : rows) {
        if (row < 0 || static_cast<std::size_t>(row) >= records.size())
            continue;
        records.erase(records.begin() + row);
        for (std::size_t i = static_cast<std::size_t>(row); i < records.size(); ++i)
            --records[i].number;
        ++removed;
    }
    return removed;
}

void SortChromatograms(std::vector<ChromatogramRecord>& records)
{
    std::stable_sort(records.begin(), records.end(), [](const ChromatogramRecord& a, const ChromatogramRecord& b) {
        const std::uint64_t ka = sortKey(a);
        const std::uint64_t kb = sortKey(b);
        if (ka != kb)
            return ka < kb;
        if (a.analysisTime != b.analysisTime)
            return a.analysisTime < b.analysisTime;
        // Parallel runs of one time: the path decides, not the order of adding.
        return a.path < b.path;
    });
}

QStringList CollectChromatogramPaths(const QString& folder, UnreadChromatograms* unread, QStringList* leftOut)
{
    FolderWalk walk;
    walk.unread = unread;
    walk.leftOut = leftOut;
    collectFolder(folder, walk);
    return walk.paths;
}

int ScanFolderForChromatograms(std::vector<ChromatogramRecord>& records, const QString& folder,
                               const MixtureList& mixtures, const ReadProgress& progress)
{
    return AddChromatograms(records, CollectChromatogramPaths(folder), mixtures, progress);
}
