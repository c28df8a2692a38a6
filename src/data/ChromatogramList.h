#pragma once

#include "data/ChromatogramRecord.h"
#include "data/Mixtures.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The operations behind the main window's chromatogram list. The window owns
// the records; these functions keep no state of their own, so the list's
// rules are tested without a window.

// Reads the file and appends its record; returns the record's index. A path
// that names a listed file (the same path after cleaning, letter case
// counting as it does on the file system, or the same file reached another
// way, through a link, while the listed path still names it) returns that
// record's index and reads nothing; a file that cannot be read returns -1 and
// adds nothing. A file holding a listed run (one injection: the same sample,
// method, analysis time and signal) adds no row: the run's row takes the
// path when its own path holds the run no more (the run moved, or another
// run took its name), keeping its place and number; otherwise the file is a
// copy and the row's index is returned.
// A calibration run is matched to a cylinder of the list.
int AddChromatogram(std::vector<ChromatogramRecord>& records, const QString& path, const MixtureList& mixtures);

// The index of the record of that file (the same cleaned path or the same file), or -1.
int FindChromatogram(const std::vector<ChromatogramRecord>& records, const QString& path);

// Sets the record's cylinder to the cylinder whose identifier occurs in its
// sample name (letter case ignored; the longest identifier wins); false, with
// no cylinder, when none does.
bool FindMixtureForSample(ChromatogramRecord& record, const MixtureList& mixtures);

// Removes the records at the given list positions (any order; duplicates and
// positions out of range are ignored) and returns how many went. The ordinal
// of every record behind a removed one goes down by one.
int RemoveChromatograms(std::vector<ChromatogramRecord>& records, QList<int> rows);

// List order: records without a cylinder first, then by cylinder number;
// within each, by analysis time, and runs of one time by path, so the order
// of adding never decides which parallel run is used.
void SortChromatograms(std::vector<ChromatogramRecord>& records);

// Called now and then on the calling thread while files are read: how many of
// the total are done. Answering false stops the reading: files not begun are
// left unread, files being read are finished and kept.
using ReadProgress = std::function<bool(int done, int total)>;

// A file that could not be read, or a folder that could not be entered, with the reason.
struct UnreadChromatogram
{
    QString path;
    QString reason;
    bool folder = false;
    bool missing = false; // no file at the path
};
using UnreadChromatograms = std::vector<UnreadChromatogram>;

// A file left out as a copy of a run that the listed file holds.
struct ListedCopy
{
    QString path;
    QString listedPath;
    // The same injection worked up again: the listed file's peak table is used.
    bool otherPeaks = false;
    friend bool operator==(const ListedCopy&, const ListedCopy&) = default;
};
using ListedCopies = std::vector<ListedCopy>;

// A listed path whose file now holds another run: the run that left the list.
struct ReplacedRun
{
    QString path;
    QString sample;
    std::int64_t analysisTime = 0;
    friend bool operator==(const ReplacedRun&, const ReplacedRun&) = default;
};

// What a reading of files into the list has to tell besides the rows.
struct ListReading
{
    UnreadChromatograms unread; // in path order
    QStringList leftUnread;     // the files a stop left unread
    ListedCopies copies;
    std::vector<ReplacedRun> replaced;
};

// Every "*.stg" file (extension in any letter case) under the folder, depth
// first in name order. Every sub-folder is entered but those whose own name
// holds a dot (dated and hidden ones; the folder given is scanned whatever
// its name) and a folder reached a second time through links. A file or
// folder whose name cannot be opened by (not UTF-8), and a folder that cannot
// be opened or listed whole (but a configured one that is not there), are
// appended to unread, when given, in their place of the walk. leftOut, when
// given, gets the path of each sub-folder left out for a dot in its name,
// but a hidden one (its name begins with the dot).
QStringList CollectChromatogramPaths(const QString& folder, UnreadChromatograms* unread = nullptr,
                                     QStringList* leftOut = nullptr);

// The files read on all cores, in path order, each placed by what it holds
// against the list: a run not listed is a new row; a listed run whose own
// path holds it no more (it moved, or another run took the name) takes the
// file's path in its row, keeping place and number; a listed run still where
// it was leaves the file out, named in copies unless it is the row's own file
// reached another way. A listed path whose file now holds another run loses
// that run (named in replaced): the row takes the run the file holds, or
// goes when that run has a row of its own. Paths twice in the batch are read
// once; unreadable files are left out, into unread. Returns the number of
// rows added, moved or taking another run.
int AddChromatograms(std::vector<ChromatogramRecord>& records, const QStringList& paths,
                     const MixtureList& mixtures, const ReadProgress& progress = {}, ListReading* reading = nullptr);

// Reads every listed file anew, on all cores, keeping the list order: a file
// that can no longer be read drops out (into unread), the others are
// renumbered from 1 and matched to the cylinders again. A file that now holds
// another run is named in replaced; the row takes that run, or drops out when
// a row above has it (into copies, but the same file reached another way).
// Files left unread by a stop keep their records as they were. Returns the
// number of records that dropped out.
int RereadChromatograms(std::vector<ChromatogramRecord>& records, const MixtureList& mixtures,
                        const ReadProgress& progress = {}, ListReading* reading = nullptr);

// Adds the files of CollectChromatogramPaths; unreadable files are skipped.
// Returns the number of records added.
int ScanFolderForChromatograms(std::vector<ChromatogramRecord>& records, const QString& folder,
                               const MixtureList& mixtures, const ReadProgress& progress = {});
