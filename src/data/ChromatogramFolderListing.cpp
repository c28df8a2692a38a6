#include "data/ChromatogramFolderListing.h"

#include "data/Passport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kUnreadableSample = QStringLiteral("????");
const QString kExtension = QStringLiteral(".stg");

bool sameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Less than 5 seconds apart; the difference of two 64-bit times is taken
// without overflow, whatever a damaged passport holds.
bool withinFiveSeconds(std::int64_t a, std::int64_t b)
{
    const auto ua = static_cast<std::uint64_t>(a);
    const auto ub = static_cast<std::uint64_t>(b);
    return (a >= b ? ua - ub : ub - ua) < 5u;
}

} // namespace

std::vector<OpenListItem> ReadFolderItems(const QString& folder, int type)
{
    std::vector<OpenListItem> items;
    if (folder.isEmpty())
        return items;

    // Regular files (and links to them) only: a pipe or a device could block
    // the reader for ever. Name filters ignore letter case.
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*") + kExtension});
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name);
    const QFileInfoList entries = dir.entryInfoList();
    items.reserve(static_cast<std::size_t>(entries.size()));

    // A new passport asks for the local time twice, which costs a look at the
    // time-zone file each time; one blank is copied instead.
    const CPassport blank;
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        OpenListItem item;
        item.strTitle = name.left(name.size() - kExtension.size());
        item.strExtension = name.right(kExtension.size());

        CPassport passport(blank);
        std::uint32_t calibrationFlag = 0;
        if (ReadPassportOnly(passport, entry.filePath())) {
            item.strSample = passport.sample;
            item.strMethod = passport.method;
            item.strSite = passport.samplingPoint;
            item.strPoint = passport.samplingSpot;
            item.tmAnalysis = passport.analysisTime;
            calibrationFlag = passport.calibrationFlag;
        } else {
            // Listed all the same, so the operator sees the file is there.
            item.strSample = kUnreadableSample;
            item.tmAnalysis = entry.lastModified().toSecsSinceEpoch();
        }

        if (type == OpenListCalibrations && calibrationFlag == 0)
            continue;
        if (type == OpenListAnalyses && calibrationFlag != 0)
            continue;
        items.push_back(std::move(item));
    }

    std::stable_sort(items.begin(), items.end(),
                     [](const OpenListItem& a, const OpenListItem& b) { return a.tmAnalysis > b.tmAnalysis; });
    return items;
}

QString OpenListItemPath(const QString& folder, const OpenListItem& item)
{
    // The file's own spelling of the extension: on this file system "A.STG"
    // and "A.stg" are different files.
    return QDir(folder).filePath(item.strTitle + item.strExtension);
}

QStringList FilterChoices(const std::vector<OpenListItem>& items, QString OpenListItem::*field,
                          const QString& anyText)
{
    QStringList choices;
    for (const OpenListItem& item : items) {
        const QString& text = item.*field;
        if (text.isEmpty())
            continue;
        const bool known = std::any_of(choices.cbegin(), choices.cend(),
                                       [&text](const QString& c) { return sameText(c, text); });
        if (!known)
            choices.append(text);
    }
    choices.append(anyText);
    std::stable_sort(choices.begin(), choices.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return choices;
}

bool PassesFilter(const OpenListItem& item, const OpenListFilter& filter)
{
    if (filter.methodOn && !sameText(filter.method, item.strMethod))
        return false;
    if (filter.siteOn && !sameText(filter.site, item.strSite))
        return false;
    if (filter.pointOn && !sameText(filter.point, item.strPoint))
        return false;
    return true;
}

std::vector<int> JointSelection(const std::vector<std::int64_t>& times, int focused)
{
    std::vector<int> rows;
    if (focused < 0 || static_cast<std::size_t>(focused) >= times.size())
        return rows;
    const std::int64_t t = times[static_cast<std::size_t>(focused)];
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (static_cast<int>(i) != focused && withinFiveSeconds(times[i], t))
            rows.push_back(static_cast<int>(i));
    }
    return rows;
}
