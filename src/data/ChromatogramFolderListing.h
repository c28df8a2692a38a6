#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The chromatograms of one folder as the opening dialog lists them: what each
// file's passport says about its sample, read without the signal.

// One "*.stg" file of the folder.
struct OpenListItem
{
    QString strTitle;  // file name without the extension
    QString strExtension; // the extension as the file system spells it, with its dot
    QString strSample; // "????" when the passport cannot be read
    QString strMethod;
    QString strSite;   // the passport's "Пункт отбора"
    QString strPoint;  // the passport's "Точка отбора"
    std::int64_t tmAnalysis = 0; // seconds since 1970; the file's modification time when unreadable
};

// The file-type choice of the listing.
enum OpenListType { OpenListAny = 0, OpenListCalibrations = 1, OpenListAnalyses = 2 };

// The files of the folder (not its sub-folders) whose names end in ".stg" in
// any letter case, each with its passport, kept by the type (a file whose
// passport cannot be read counts as an analysis) and sorted newest first;
// equal times keep name order. An empty or missing folder lists nothing.
std::vector<OpenListItem> ReadFolderItems(const QString& folder, int type);

// The full path of an item's file in the folder.
QString OpenListItemPath(const QString& folder, const OpenListItem& item);

// The entries of a filter box over one field: every non-empty text once
// (letter case ignored; the first spelling met in item order is kept) plus
// anyText, sorted without regard to case.
QStringList FilterChoices(const std::vector<OpenListItem>& items, QString OpenListItem::*field,
                          const QString& anyText);

// The three filters of the list; a filter that is off lets every item pass.
struct OpenListFilter
{
    bool methodOn = false;
    bool siteOn = false;
    bool pointOn = false;
    QString method;
    QString site;
    QString point;
};

// Whether every filter that is on holds the item's field, letter case ignored.
bool PassesFilter(const OpenListItem& item, const OpenListFilter& filter);

// The positions, among the given analysis times, that a joint selection with
// position `focused` takes besides it: every other time less than 5 seconds
// away from the focused one.
std::vector<int> JointSelection(const std::vector<std::int64_t>& times, int focused);
