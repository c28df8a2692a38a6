#include <gtest/gtest.h>

#include "data/Mixtures.h"
#include "support/AddressSpaceCap.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/MixturesArchiveBuilder.h"
#include "support/QtRussianTexts.h"
#include "support/WithoutFileRights.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <iterator>
#include <optional>
#include <vector>

#include <unistd.h>

using testsupport::AddressSpaceCap;
using testsupport::ArchiveCylinder;
using testsupport::FileSizeLimit;
using testsupport::QtRussianTexts;
using testsupport::buildMixturesArchive;

namespace {

using testsupport::readFileBytes;
using testsupport::writeFileBytes;

MixtureList twoCylinders()
{
    auto a = std::make_shared<MixtureData>();
    a->number = 1;
    a->name = QStringLiteral("Баллон 1");
    a->identifier = QStringLiteral("б1");
    a->type = 1;
    a->date = 1700000000;
    MixCompData c;
    c.number = 1;
    c.name = QStringLiteral("Метан");
    c.concentration = 95.25;
    c.uncertainty = 0.5;
    a->components.push_back(c);
    auto b = std::make_shared<MixtureData>();
    b->number = 2;
    b->name = QStringLiteral("Баллон 2");
    b->type = 2;
    return {a, b};
}

std::vector<ArchiveCylinder> fourArchiveCylinders()
{
    std::vector<ArchiveCylinder> list;
    for (int i = 1; i <= 4; ++i)
        list.push_back(testsupport::makeCylinder(i, QStringLiteral("Баллон %1").arg(i), QStringLiteral("id%1").arg(i), 0, 1));
    return list;
}

} // namespace

TEST(MixturesDatabase, loadsNothingAndKeepsTheListWithoutAPathOrFile)
{
    QTemporaryDir dir;
    MixtureList list = twoCylinders();

    MixturesDatabase noPath;
    EXPECT_EQ(noPath.load(list).status, MixturesDatabase::LoadStatus::NoPath);
    EXPECT_EQ(list.size(), 2u);

    MixturesDatabase missing(dir.filePath(QStringLiteral("MixturesData")));
    const MixturesDatabase::LoadResult r = missing.load(list);
    EXPECT_EQ(r.status, MixturesDatabase::LoadStatus::NoFile);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_EQ(list.size(), 2u);
    EXPECT_FALSE(missing.backupPending());

    // A path that cannot be read is named, and its reason is a sentence.
    const MixturesDatabase::LoadResult folder = MixturesDatabase(dir.path()).load(list);
    EXPECT_EQ(folder.status, MixturesDatabase::LoadStatus::Unreadable);
    EXPECT_EQ(folder.message, QStringLiteral("Не удалось прочитать базу баллонов из файла\n%1\n\nFile to open is a directory.")
                                  .arg(QDir::toNativeSeparators(dir.path())));
    EXPECT_EQ(list.size(), 2u);

    const MixturesDatabase::SaveResult s = noPath.save(list);
    EXPECT_TRUE(s.ok);
    EXPECT_FALSE(s.written);
}

TEST(MixturesDatabase, replacesALongerFileWholeLeavingNoStaleTail)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MixturesData"));
    ASSERT_TRUE(writeFileBytes(path, buildMixturesArchive(fourArchiveCylinders())));

    MixturesDatabase db(path);
    MixtureList list;
    ASSERT_EQ(db.load(list).status, MixturesDatabase::LoadStatus::Loaded);
    ASSERT_EQ(list.size(), 4u);
    list.resize(1);
    ASSERT_TRUE(db.save(list).ok);

    // count (4) + number (4) + "Баллон 1" (4 + 16) + "id1" (4 + 6) + time (12) + type (4) + components (4)
    EXPECT_EQ(QFileInfo(path).size(), 58);
    EXPECT_EQ(readFileBytes(path), WriteMixturesArchive(list));
    // Nothing temporary is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("MixturesData")});
}

TEST(MixturesDatabase, createsTheMissingFolderBeforeTheFirstSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Morvane/Add/tavrin/MixturesData"));
    MixturesDatabase db(path);
    const MixturesDatabase::SaveResult s = db.save(twoCylinders());
    ASSERT_TRUE(s.ok) << s.message.toStdString();
    EXPECT_TRUE(QFileInfo(path).isFile());
}

// A folder that cannot be made is refused with the system's reason, and a
// folder is no file's path. The refusal for rights is seen as root too.
TEST(MixturesDatabase, reportsAFolderThatCannotBeCreatedWithThePath)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("plainfile"));
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(writeFileBytes(blocker, QByteArrayLiteral("not a folder")));
    ASSERT_TRUE(QDir().mkdir(locked) && QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    const struct { const char* name; QString path; QString reason; } cases[] = {
        {"a file in the way", blocker + QStringLiteral("/sub/MixturesData"), qt_error_string(ENOTDIR) + QStringLiteral(".")},
        {"no rights in the parent", locked + QStringLiteral("/sub/MixturesData"), qt_error_string(EACCES) + QStringLiteral(".")},
        {"a folder itself", locked, QStringLiteral("Путь некорректный.")},
    };
    MixtureList list = twoCylinders();
    bool bound = false;
    std::vector<MixturesDatabase::SaveResult> results;
    testsupport::runWithoutFileRights([&] {
        bound = testsupport::accessRefused(QFile::encodeName(locked), W_OK);
        for (const auto& c : cases)
            results.push_back(MixturesDatabase(c.path).save(list));
    });
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(bound);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_FALSE(results[i].ok);
        EXPECT_FALSE(results[i].written);
        EXPECT_EQ(results[i].message, QStringLiteral("Не удалось записать базу баллонов в файл\n")
                                          + QDir::toNativeSeparators(cases[i].path) + QStringLiteral("\n\n")
                                          + cases[i].reason);
    }
    EXPECT_EQ(readFileBytes(blocker), QByteArrayLiteral("not a folder"));
    EXPECT_TRUE(QDir(locked).isEmpty());
    EXPECT_EQ(list.size(), 2u); // the edits stay in memory
}

TEST(MixturesDatabase, keepsTheOldFileWhenTheFolderIsReadOnly)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/MixturesData");
    const QByteArray old = buildMixturesArchive(fourArchiveCylinders());
    ASSERT_TRUE(writeFileBytes(path, old));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);

    MixturesDatabase db(path);
    MixtureList list = twoCylinders();
    bool bound = false;
    MixturesDatabase::SaveResult s;
    testsupport::runWithoutFileRights([&] {
        bound = testsupport::accessRefused(QFile::encodeName(folder), W_OK);
        s = db.save(list);
    });
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(bound);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.message.contains(QDir::toNativeSeparators(path)));
    EXPECT_EQ(readFileBytes(path), old);
    EXPECT_EQ(list.size(), 2u);
}

TEST(MixturesDatabase, eachDamageClassKeepsTheCylindersReadAndACopyOfTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MixturesData"));
    const QString bak = dir.filePath(QStringLiteral("MixturesData.bak"));
    const QByteArray whole = buildMixturesArchive(fourArchiveCylinders());
    std::vector<ArchiveCylinder> hugeComponents = fourArchiveCylinders();
    hugeComponents[3].componentCount = 0xFFFFFFFFu;
    struct Case { const char* name; QByteArray bytes; std::size_t kept; };
    const Case cases[] = {
        {"empty", QByteArray(), 0},
        {"shorter than the count", QByteArrayLiteral("\x02\x00"), 0},
        {"truncated", whole.left(whole.size() - 3), 3},
        {"huge count", buildMixturesArchive(fourArchiveCylinders(), 0xFFFFFFFFu), 4},
        {"huge component count", buildMixturesArchive(hugeComponents), 3},
        {"huge string length", QByteArrayLiteral("\x01\x00\x00\x00\x01\x00\x00\x00\xFF\xFF\xFF\xF0\xFF\xFF\x7F" "abc"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileBytes(path, c.bytes));
        MixturesDatabase db(path);
        MixtureList list = twoCylinders();
        {
            AddressSpaceCap cap;
            const MixturesDatabase::LoadResult r = db.load(list);
            EXPECT_EQ(r.status, MixturesDatabase::LoadStatus::Damaged);
            EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(path)));
        }
        EXPECT_EQ(list.size(), c.kept);
        EXPECT_EQ(readFileBytes(path), c.bytes);
        EXPECT_TRUE(db.backupPending());

        ASSERT_TRUE(db.save(list).ok);
        EXPECT_EQ(db.backupPath(), bak);
        EXPECT_EQ(readFileBytes(bak), c.bytes);
        EXPECT_EQ(readFileBytes(path), WriteMixturesArchive(list));
        // The copy is of the file that did not load; later saves leave it alone.
        list.push_back(twoCylinders()[0]);
        ASSERT_TRUE(db.save(list).ok);
        EXPECT_EQ(readFileBytes(bak), c.bytes);
    }
}

TEST(MixturesDatabase, readsOnlyTheStartOfAnOversizedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MixturesData"));
    // Two cylinders; the second's name is 64 MiB of zeros, which the file
    // holds but the part of it that is read does not.
    ASSERT_TRUE(writeFileBytes(path, buildMixturesArchive({fourArchiveCylinders()[0]}, 2u)
                                         + QByteArrayLiteral("\x02\x00\x00\x00\xFF\xFF\xFF\x00\x00\x00\x04")));
    ASSERT_TRUE(QFile::resize(path, MixturesDatabase::kMaxFileSize + 4096));

    MixturesDatabase db(path);
    MixtureList list;
    const MixturesDatabase::LoadResult r = db.load(list);
    EXPECT_EQ(r.status, MixturesDatabase::LoadStatus::Damaged);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_TRUE(r.message.contains(QStringLiteral("слишком велик")));
    EXPECT_TRUE(db.backupPending());
}

// The largest file the next start reads whole is written; a larger one is
// refused and the file already there stays as it was.
TEST(MixturesDatabase, writesNoFileLargerThanTheNextStartReadsWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MixturesData"));
    // A third cylinder whose name, long enough to take the four-byte length,
    // grows to bring the file to the size asked. Every string is UTF-16, so
    // every archive is of even size: the smallest one past the cap is two bytes over.
    const auto listOfSize = [](qint64 size) {
        MixtureList list = twoCylinders();
        auto big = std::make_shared<MixtureData>();
        big->number = 3;
        big->name = QString(0xFFFF, QChar(u'Ж'));
        list.push_back(big);
        big->name += QString((size - WriteMixturesArchive(list).size()) / 2, QChar(u'Ж'));
        return list;
    };
    constexpr qint64 cap = MixturesDatabase::kMaxFileSize;

    MixturesDatabase db(path);
    {
        const MixtureList atCap = listOfSize(cap);
        ASSERT_TRUE(db.save(atCap).ok);
        EXPECT_EQ(QFileInfo(path).size(), cap);
        MixtureList read;
        ASSERT_EQ(MixturesDatabase(path).load(read).status, MixturesDatabase::LoadStatus::Loaded);
        ASSERT_EQ(read.size(), 3u);
        EXPECT_EQ(read[2]->name, atCap[2]->name);
    }

    const QByteArray old = buildMixturesArchive(fourArchiveCylinders());
    ASSERT_TRUE(writeFileBytes(path, old));
    const MixtureList overCap = listOfSize(cap + 2);
    const auto refusal = [cap](const QString& file) {
        return QStringLiteral("Не удалось записать базу баллонов в файл\n%1\n\nБаза баллонов заняла бы %2 байт, "
                              "а программа читает не больше %3 байт. ")
            .arg(QDir::toNativeSeparators(file), QString::number(cap + 2), QString::number(cap));
    };
    const MixturesDatabase::SaveResult s = db.save(overCap);
    EXPECT_FALSE(s.ok);
    EXPECT_FALSE(s.written);
    EXPECT_EQ(s.message, refusal(path) + QStringLiteral("Прежний файл оставлен без изменений; "
                                                        "удалите ненужные баллоны или компоненты."));
    EXPECT_EQ(readFileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("MixturesData")});

    // Without an old file nothing is made, not even the folder, and no old file is spoken of.
    const QString fresh = dir.filePath(QStringLiteral("new/MixturesData"));
    EXPECT_EQ(MixturesDatabase(fresh).save(overCap).message,
              refusal(fresh) + QStringLiteral("Удалите ненужные баллоны или компоненты."));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("new"))));
}

// A full disk is played by a file-size limit, which binds root as well.
TEST(MixturesDatabase, fullDiskKeepsTheOldFileWholeAndSaysSo)
{
    // Sixteen cylinders with a component each: about 1.6 KB, as a laboratory's base.
    std::vector<ArchiveCylinder> sixteen;
    for (int i = 1; i <= 16; ++i) {
        ArchiveCylinder c = testsupport::makeCylinder(i, QStringLiteral("Баллон ГСО %1").arg(i), QStringLiteral("гсо-%1").arg(i), 1700000000, 1);
        c.components.push_back({1, QStringLiteral("Метан"), 95.0, 0.5, false});
        sixteen.push_back(c);
    }
    const QByteArray old = buildMixturesArchive(sixteen);
    ASSERT_GT(old.size(), 1500);
    MixtureList grown = twoCylinders();
    for (int i = 0; i < 6; ++i)
        grown.push_back(twoCylinders()[0]);
    ASSERT_GT(WriteMixturesArchive(grown).size(), 300);

    // Qt words a write cut short as "Unknown error", in Russian too once its
    // texts are; the message names the system's cause in either case.
    struct Case { const char* name; rlim_t limit; bool damaged; bool russian; };
    const Case cases[] = {
        {"room for part of the new file", 300, false, false},
        {"room for part of the new file, Qt's texts in Russian", 300, false, true},
        {"no room at all", 0, false, false},
        // The damaged file's copy is written first; it must not come out short either.
        {"room for part of the copy of a damaged file, Qt's texts in Russian", 1000, true, true},
    };
    bool noRussian = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<QtRussianTexts> qtTexts;
        if (c.russian && !qtTexts.emplace().loaded()) {
            noRussian = true;
            continue;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("MixturesData"));
        const QByteArray onDisk = c.damaged ? old.left(old.size() - 3) : old;
        ASSERT_TRUE(writeFileBytes(path, onDisk));
        MixturesDatabase db(path);
        MixtureList list;
        db.load(list);
        ASSERT_EQ(db.backupPending(), c.damaged);

        MixturesDatabase::SaveResult s;
        {
            FileSizeLimit fullDisk(c.limit);
            ASSERT_TRUE(fullDisk.active());
            s = db.save(grown);
        }
        EXPECT_FALSE(s.ok);
        EXPECT_FALSE(s.written);
        const QString failed = QStringLiteral("Не удалось записать базу баллонов в файл\n")
                               + QDir::toNativeSeparators(path) + QStringLiteral("\n\n");
        const QString cause = qt_error_string(EFBIG);
        EXPECT_EQ(s.message, failed + (c.damaged ? QStringLiteral("Не удалось сохранить копию прежнего файла %1: %2.")
                                                       .arg(QDir::toNativeSeparators(db.backupPath()), cause)
                                                 : cause + QStringLiteral(".")));
        EXPECT_EQ(readFileBytes(path), onDisk);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("MixturesData")});
        EXPECT_EQ(db.backupPending(), c.damaged);

        // With room again the same save goes through.
        const MixturesDatabase::SaveResult again = db.save(grown);
        EXPECT_TRUE(again.ok) << again.message.toStdString();
        EXPECT_EQ(readFileBytes(path), WriteMixturesArchive(grown));
    }
    if (noRussian)
        GTEST_SKIP() << "no qtbase_ru among Qt's translations; qt6-translations-l10n installs it";
}
