#include <gtest/gtest.h>

#include "app/AboutDlg.h"
#include "app/TavrinDlg.h"
#include "data/ChromatogramSlot.h"
#include "data/MainDialogProfile.h"
#include "data/MessageLog.h"
#include "data/Mixtures.h"
#include "platform/Profile.h"
#include "platform/Version.h"
#include "support/CalcInputs.h"
#include "support/ChromatogramFiles.h"
#include "support/ColumnCaptions.h"
#include "support/FileBytes.h"
#include "support/LaboratoryTypeRules.h"
#include "support/ProfileDir.h"
#include "support/QtPrint.h"
#include "support/Screenshot.h"
#include "support/StandInOpener.h"
#include "support/UtcZone.h"
#include "support/WithoutFileRights.h"
#include "ui/DlgComponents.h"
#include "ui/DlgMSG.h"
#include "ui/DlgMixtures.h"
#include "ui/DlgOutTable.h"
#include "ui/DlgReport.h"
#include "ui/DlgResultTabs.h"
#include "ui/GridCtrl.h"
#include "ui/OpenChrmDlg.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSettings>
#include <QTreeWidget>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

using testsupport::ChromatogramFile;
using testsupport::peak;

using testsupport::ColumnCaptions;

namespace {

class tavrinDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        profile = std::make_unique<Profile>(m_dir.filePath(QStringLiteral("tavrin.conf")));
        mixturesPath = m_dir.filePath(QStringLiteral("db/MixturesData"));
        QDir().mkpath(m_dir.filePath(QStringLiteral("db")));

        testsupport::laboratorySettings().SaveSettings(*profile);
        ChromatogramFolders folders;
        folders.enAutoOpen = 0;
        folders.SaveSettings(*profile);
    }

    QString write(const QString& name, const QString& sample, std::int64_t time,
                  const QString& method = QStringLiteral("ГАЗ-1"), bool calibration = false)
    {
        ChromatogramFile file;
        file.sample = sample;
        file.method = method;
        file.analysisTime = time;
        file.calibration = calibration;
        file.peaks = {peak(0.25, 1.25, 90.0, QStringLiteral("Метан")), peak(1.5, 2.5, 4.0, QStringLiteral("Этан"))};
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(testsupport::writeChromatogramFile(path, file));
        return path;
    }

    void setRecent(const QStringList& paths)
    {
        for (int i = 0; i < paths.size(); ++i)
            profile->writeString(profile_sections::Recent, QString::number(i), paths[i]);
    }

    std::unique_ptr<tavrinDlg> open(ReadProgress start = {}) { return std::make_unique<tavrinDlg>(*profile, log, mixturesPath, nullptr, start); }

    QString profileFile() const { return m_dir.filePath(QStringLiteral("tavrin.conf")); }
    // The list as it stands on disk, where a kill or a lost display finds it.
    QStringList listOnDisk() const { return testsupport::storedChromatogramList(profileFile()); }

    // The opening dialog starts in the folder, as the chromatography
    // software's settings of this user and machine say.
    QString openingDialogFolder(const QString& name)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("user")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_dir.filePath(QStringLiteral("machine")));
        Profile(ProfileScope::System, QStringLiteral("Quindle"), QStringLiteral("Morvane"))
            .writeString(QString(), QStringLiteral("OpenPath"), m_dir.path());
        Profile(ProfileScope::User, QStringLiteral("Quindle"), QStringLiteral("Morvane"))
            .writeString(QString(), QStringLiteral("LastOpenPath2"), m_dir.filePath(name));
        return m_dir.filePath(name);
    }

    static QStringList column(const tavrinDlg& dlg, int c)
    {
        QStringList texts;
        for (int r = 0; r < dlg.ChromatogramList()->GetItemCount(); ++r)
            texts.append(dlg.ChromatogramList()->GetItemText(r, c));
        return texts;
    }
    static void selectRows(tavrinDlg& dlg, const QList<int>& rows)
    {
        CGridCtrl* list = dlg.ChromatogramList();
        list->clearSelection();
        for (int r : rows)
            list->selectionModel()->select(list->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QString messageText(const tavrinDlg& dlg)
    {
        return dlg.MessagePage()->findChild<QPlainTextEdit*>(QStringLiteral("editText"))->toPlainText();
    }
    QStringList readWarnings() const
    {
        return QStringList(log.warnings().begin(), log.warnings().end()).filter(QRegularExpression("^Чтение хроматограмм:"));
    }
    // OK in a dialog; in the cylinders one after a change, as only that re-reads.
    static void acceptChanged(QDialog* d)
    {
        if (auto* add = d->findChild<QPushButton*>(QStringLiteral("buttonAddMixture")))
            add->click();
        d->accept();
    }
    static QPushButton* button(const tavrinDlg& dlg, const char* name)
    {
        return dlg.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // Presses the button and answers the modal dialog it runs as soon as it shows.
    static void pressAndAnswer(tavrinDlg& dlg, const char* name, std::function<void(QDialog*)> answer)
    {
        QTimer::singleShot(0, [answer] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(modal, nullptr);
            answer(modal);
        });
        button(dlg, name)->click();
    }

    // Analysis times are shown in local time; UTC for the texts below.
    testsupport::UtcZone m_utc;
    QTemporaryDir m_dir;
    std::unique_ptr<Profile> profile;
    QString mixturesPath;
    MessageLog log;
};

// A window whose calculation fails unexpectedly.
class FailingDlg : public tavrinDlg
{
public:
    using tavrinDlg::tavrinDlg;
    bool fail = false;

protected:
    void RecalculateResults() override
    {
        if (fail)
            throw std::runtime_error("сбой вычисления");
        tavrinDlg::RecalculateResults();
    }
};

// A window that counts its calculations.
class CountingDlg : public tavrinDlg
{
public:
    using tavrinDlg::tavrinDlg;
    int calculations = 0;

protected:
    void RecalculateResults() override
    {
        ++calculations;
        tavrinDlg::RecalculateResults();
    }
};

} // namespace

TEST_F(tavrinDlgTest, showsTitleAndTabs)
{
    auto dlg = open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Ворнель   ver. %1   Пластовый газ. Определение компонентно-фракционного "
                                                  "состава по СТО Газпром 5.40 2011.")
                                      .arg(GetVersionString()));
    QStringList tabs;
    for (int i = 0; i < dlg->ResultTabs()->count(); ++i)
        tabs.append(dlg->ResultTabs()->tabText(i));
    EXPECT_EQ(tabs, QStringList({"Инфо. по хрм.", "Газ сепарации", "Газ дегазации", "Дегазированный конденсат",
                                 "Пластовый газ", "Системные сообщения"}));
    EXPECT_EQ(dlg->ResultTabs()->currentIndex(), 0);
    EXPECT_EQ(CAboutDlg::VersionText(), QStringLiteral("Ворнель\n\nВерсия: %1").arg(GetVersionString()));
}

TEST_F(tavrinDlgTest, startAddsTheRecentFilesSortedWithTheirRoles)
{
    // 1700000000 is 14.11.2023 22:13:20 UTC.
    const QString g2 = write(QStringLiteral("g2.stg"), QStringLiteral("ГС скв. 41"), 1700000600);
    const QString g1 = write(QStringLiteral("g1.stg"), QStringLiteral("ГС скв. 41"), 1700000000);
    const QString blank = write(QStringLiteral("blank.stg"), QStringLiteral("Холостая"), 1699990000);
    const QString cal = write(QStringLiteral("cal.stg"), QStringLiteral("Калибровка ГСО-12"), 1699900000,
                              QStringLiteral("ГАЗ-1"), true);
    // Not marked in its passport, yet its sample names the cylinder.
    const QString unmarked = write(QStringLiteral("cal2.stg"), QStringLiteral("Калибровка ГСО-12"), 1700001000);
    auto cylinder = std::make_shared<MixtureData>();
    cylinder->number = 1;
    cylinder->name = QStringLiteral("Баллон 7");
    cylinder->identifier = QStringLiteral("гсо-12");
    cylinder->type = MixtureKindGs;
    ASSERT_TRUE(testsupport::writeFileBytes(mixturesPath, WriteMixturesArchive({cylinder})));
    // Files gone since the last run are left out, named in one line; the ones after them still come.
    setRecent({g2, m_dir.filePath(QStringLiteral("gone.stg")), cal, g1, m_dir.filePath(QStringLiteral("07.12/gone2.stg")),
               blank, m_dir.filePath(QStringLiteral("gone3.stg")), unmarked});

    auto dlg = open();
    ASSERT_EQ(dlg->Records().size(), 5u);
    EXPECT_EQ(column(*dlg, 0), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(column(*dlg, 1), QStringList({"blank.stg", "g1.stg", "g2.stg", "cal2.stg", "cal.stg"}));
    EXPECT_EQ(column(*dlg, 2).at(1), QStringLiteral("ГС скв. 41"));
    EXPECT_EQ(column(*dlg, 3).at(1), QStringLiteral("ГАЗ-1"));
    EXPECT_EQ(column(*dlg, 4).at(1), QStringLiteral("14.11.23  22:13"));
    EXPECT_EQ(column(*dlg, 5), QStringList({QStringLiteral("Холостая"), QStringLiteral("ГС Анализ 1"),
                                            QStringLiteral("ГС Анализ 2"),
                                            QStringLiteral("ГС Калибровка 1 (Баллон 7)"),
                                            QStringLiteral("ГС Калибровка 2 (Баллон 7)")}));
    EXPECT_EQ(dlg->SelectedRecord(), -1);
    EXPECT_EQ(dlg->InfoPage()->m_grid.GetItemCount(), 0);
    EXPECT_TRUE(readWarnings().isEmpty());
    EXPECT_EQ(QStringList(log.infos().begin(), log.infos().end()).filter(QRegularExpression("^Чтение")),
              QStringList{QStringLiteral("Чтение хроматограмм: Хроматограммы прошлого списка при запуске не найдены там, где "
                                         "были, не найдено файлов: 3 («gone.stg», «gone2.stg», «gone3.stg»); оттуда, где они "
                                         "теперь, их добавляет кнопка «Добавить».")});
}

// The scan leaves a dated folder out, and says so, and names one it cannot
// open by its name, by its bytes.
TEST_F(tavrinDlgTest, foldersAreScannedAtStartOnlyWhenAutomaticOpeningIsOn)
{
    write(QStringLiteral("scan/a.stg"), QStringLiteral("ГС 1"), 1000);
    for (const QString dated : {"12.03.2024", "13.03.2024", "14.03.2024", "скв. 1205", ".cache"})
        write(QStringLiteral("scan/%1/b.stg").arg(dated), QStringLiteral("ГС 2"), 2000);
    const testsupport::Cp1251Entry folder(m_dir.filePath(QStringLiteral("scan")), QStringLiteral("Архив"), true);
    ChromatogramFolders folders;
    folders.AddFolder(m_dir.filePath(QStringLiteral("scan")));
    folders.enAutoOpen = 0;
    folders.SaveSettings(*profile);
    EXPECT_TRUE(open()->Records().empty());

    folders.enAutoOpen = 1;
    folders.SaveSettings(*profile);
    auto dlg = open();
    EXPECT_EQ(column(*dlg, 1), QStringList({"a.stg"}));
    const QString warning = QStringLiteral("Чтение хроматограмм: Папка %1/\\xC0\\xF0\\xF5\\xE8\\xE2 не просмотрена: имя папки не в "
                                           "кодировке UTF-8, папку по нему не открыть.").arg(m_dir.filePath(QStringLiteral("scan")));
    EXPECT_EQ(readWarnings(), QStringList{warning});
    EXPECT_TRUE(messageText(*dlg).contains(warning));

    // One line for the folders left out but the hidden one, until "Добавить" or "Удалить все".
    const auto readInfos = [this] { return QStringList(log.infos().begin(), log.infos().end()).filter(QRegularExpression("^Чтение")); };
    const QString leftOut = QStringLiteral("Чтение хроматограмм: Папки с точкой в имени при запуске не просматриваются, "
                                           "пропущено папок: 4 («12.03.2024», «13.03.2024», «14.03.2024» и ещё 1); их "
                                           "хроматограммы добавляет кнопка «Добавить».");
    button(*dlg, "buttonRecalc")->click();
    EXPECT_EQ(readInfos(), QStringList{leftOut});
    openingDialogFolder(QStringLiteral("scan/12.03.2024"));
    pressAndAnswer(*dlg, "buttonAdd", [](QDialog* d) {
        qobject_cast<COpenChrmDlg*>(d)->List()->selectAll();
        d->accept();
    });
    EXPECT_TRUE(readInfos().isEmpty());
    dlg = open();
    button(*dlg, "buttonDeleteAll")->click();
    EXPECT_TRUE(readInfos().isEmpty());

    // Three are named all, with nothing more to count.
    ASSERT_TRUE(QDir(m_dir.filePath(QStringLiteral("scan/скв. 1205"))).removeRecursively());
    dlg = open();
    button(*dlg, "buttonRecalc")->click();
    EXPECT_EQ(readInfos(), QStringList{QStringLiteral("Чтение хроматограмм: Папки с точкой в имени при запуске не "
                                                      "просматриваются, пропущено папок: 3 («12.03.2024», «13.03.2024», "
                                                      "«14.03.2024»); их хроматограммы добавляет кнопка «Добавить».")});
}

TEST_F(tavrinDlgTest, deleteRemovesExactlyTheSelectedRows)
{
    QStringList paths;
    for (int i = 1; i <= 5; ++i)
        paths.append(write(QStringLiteral("f%1.stg").arg(i), QStringLiteral("Проба %1").arg(i), 1000 * i));
    setRecent(paths);
    auto dlg = open();
    ASSERT_EQ(dlg->ChromatogramList()->GetItemCount(), 5);

    // Every change of the list is on disk at once.
    selectRows(*dlg, {1, 4});
    button(*dlg, "buttonDelete")->click();
    EXPECT_EQ(column(*dlg, 0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(column(*dlg, 1), QStringList({"f1.stg", "f3.stg", "f4.stg"}));
    EXPECT_EQ(dlg->SelectedRecord(), -1);
    EXPECT_EQ(listOnDisk(), QStringList({paths[0], paths[2], paths[3]}));

    // The Delete key in the list does the same.
    selectRows(*dlg, {0});
    QTest::keyClick(dlg->ChromatogramList(), Qt::Key_Delete);
    EXPECT_EQ(column(*dlg, 1), QStringList({"f3.stg", "f4.stg"}));
    EXPECT_EQ(listOnDisk(), QStringList({paths[2], paths[3]}));

    button(*dlg, "buttonDeleteAll")->click();
    EXPECT_EQ(dlg->ChromatogramList()->GetItemCount(), 0);
    EXPECT_TRUE(dlg->Records().empty());
    EXPECT_TRUE(listOnDisk().isEmpty());
}

TEST_F(tavrinDlgTest, oneSelectedRowShowsItsPeaksAndTwoShowNothing)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000),
               write(QStringLiteral("b.stg"), QStringLiteral("ГС"), 2000)});
    auto dlg = open();
    const CGridCtrl& info = dlg->InfoPage()->m_grid;

    selectRows(*dlg, {1});
    EXPECT_EQ(dlg->SelectedRecord(), 1);
    ASSERT_EQ(info.GetItemCount(), 2);
    // Methane: the triangle 0,2,4,2,0 every 0.25 min, apex at 0.75 min.
    EXPECT_EQ(info.GetItemText(0, 0), QStringLiteral("1"));
    EXPECT_EQ(info.GetItemText(0, 1), QStringLiteral("Метан"));
    EXPECT_EQ(info.GetItemText(0, 2), QStringLiteral("2.000"));
    EXPECT_EQ(info.GetItemText(0, 3), QStringLiteral("90.000"));
    EXPECT_EQ(info.GetItemText(0, 4), QStringLiteral("0.750"));
    EXPECT_EQ(info.GetItemText(1, 1), QStringLiteral("Этан"));
    EXPECT_EQ(info.GetItemText(1, 2), QStringLiteral("1.250"));
    EXPECT_EQ(info.GetItemText(1, 4), QStringLiteral("2.000"));

    selectRows(*dlg, {0, 1});
    EXPECT_EQ(info.GetItemCount(), 0);

    // The digit count is read at every fill.
    dlg->Settings().general.qtySymInProg = 1;
    selectRows(*dlg, {0});
    EXPECT_EQ(dlg->SelectedRecord(), 0);
    EXPECT_EQ(info.GetItemText(0, 2), QStringLiteral("2.0"));
}

TEST_F(tavrinDlgTest, recalculationRereadsEveryFileAndDropsVanishedOnes)
{
    const QString a = write(QStringLiteral("a.stg"), QStringLiteral("ГС старая"), 1000);
    const QString b = write(QStringLiteral("b.stg"), QStringLiteral("ГС"), 2000);
    setRecent({a, b, write(QStringLiteral("c.stg"), QStringLiteral("ГС"), 3000)});
    {
        auto dlg = open();
        write(QStringLiteral("a.stg"), QStringLiteral("ГС новая"), 1000);
        ASSERT_TRUE(QFile::remove(b));
        EXPECT_EQ(column(*dlg, 2), QStringList({QStringLiteral("ГС старая"), QStringLiteral("ГС"), QStringLiteral("ГС")}));

        // "Отмена" before the first file: the page says so, of the rows still listed.
        const QString stopped = QStringLiteral("Чтение хроматограмм: Пересчёт остановлен кнопкой «Отмена»: не перечитано "
                                               "файлов: 2, в списке они остались прочитанными ранее.");
        dlg->readProgressHook = [](int, int) { return false; };
        button(*dlg, "buttonRecalc")->click();
        EXPECT_EQ(readWarnings(), QStringList{QString(stopped).replace(QStringLiteral("файлов: 2"), QStringLiteral("файлов: 3"))});
        dlg->readProgressHook = nullptr;
        selectRows(*dlg, {2});
        button(*dlg, "buttonDelete")->click();
        EXPECT_TRUE(messageText(*dlg).contains(stopped));
        button(*dlg, "buttonRecalc")->click();
        EXPECT_FALSE(messageText(*dlg).contains(stopped));
        EXPECT_EQ(column(*dlg, 1), QStringList({"a.stg"}));
        EXPECT_EQ(column(*dlg, 2), QStringList({QStringLiteral("ГС новая")}));
        EXPECT_EQ(listOnDisk(), QStringList{a});

        // A profile that cannot be written is told, with the system's reason, while it lasts.
        const QString unwritten = QStringLiteral("Список хроматограмм: Не удалось записать список в профиль программы %1: %2; "
                                                 "следующий запуск его не восстановит.")
                                      .arg(QDir::toNativeSeparators(profileFile()), qt_error_string(EACCES));
        for (const bool writable : {false, true}) {
            QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner | (writable ? QFile::WriteOwner : QFile::Permissions()));
            const testsupport::WithoutFileRights withoutRights;
            button(*dlg, "buttonRecalc")->click();
            EXPECT_EQ(QStringList(log.errors().begin(), log.errors().end()).filter(QStringLiteral("Список хроматограмм:")),
                      writable ? QStringList() : QStringList{unwritten});
        }
    }
    // The recent list written at the end no longer names the vanished file.
    EXPECT_EQ(profile->readString(profile_sections::Recent, QStringLiteral("0"), QString()), a);
    EXPECT_FALSE(profile->contains(profile_sections::Recent, QStringLiteral("1")));
}

TEST_F(tavrinDlgTest, messagePageShowsOnlyTheLastCalculation)
{
    ChromatogramFile file;
    file.sample = QStringLiteral("ГС скв. 41");
    file.method = QStringLiteral("ГАЗ-1");
    file.peaks = {peak(0.25, 1.25, 90.0, QStringLiteral("Ксенон-X"))};
    const QString path = m_dir.filePath(QStringLiteral("x.stg"));
    ASSERT_TRUE(testsupport::writeChromatogramFile(path, file));
    setRecent({path});
    auto dlg = open();
    EXPECT_TRUE(messageText(*dlg).contains(QStringLiteral("Ксенон-X")));

    log.AddMessage(MessageError, QStringLiteral("Сообщение прошлого расчёта"));
    button(*dlg, "buttonRecalc")->click();
    EXPECT_FALSE(messageText(*dlg).contains(QStringLiteral("Сообщение прошлого расчёта")));
    EXPECT_TRUE(messageText(*dlg).contains(QStringLiteral("Ксенон-X")));

    button(*dlg, "buttonDeleteAll")->click();
    EXPECT_FALSE(messageText(*dlg).contains(QStringLiteral("Ксенон-X")));
}

TEST_F(tavrinDlgTest, unexpectedCalculationFailureBecomesAnErrorMessage)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000)});
    FailingDlg dlg(*profile, log, mixturesPath);
    dlg.fail = true;
    EXPECT_NO_THROW(button(dlg, "buttonRecalc")->click());
    ASSERT_EQ(log.errors().size(), 1u);
    EXPECT_TRUE(log.errors()[0].contains(QStringLiteral("сбой вычисления")));
    EXPECT_TRUE(messageText(dlg).contains(QStringLiteral("сбой вычисления")));
    // The list was still refreshed.
    EXPECT_EQ(dlg.ChromatogramList()->GetItemCount(), 1);
}

TEST_F(tavrinDlgTest, windowRectangleAndMessageFiltersSurviveARestart)
{
    // The window may not shrink below what its fonts need, so the rectangle
    // to survive is the one it took.
    QRect placed;
    {
        auto dlg = open();
        dlg->setGeometry(QRect(40, 50, 1000, 700));
        placed = dlg->geometry();
        log.setShowInfos(0);
    }
    EXPECT_EQ(placed.topLeft(), QPoint(40, 50));
    auto dlg = open();
    EXPECT_EQ(dlg->geometry(), placed);
    EXPECT_EQ(log.showInfos(), 0);
    EXPECT_EQ(log.showErrors(), 1);
    EXPECT_FALSE(dlg->MessagePage()->findChild<QCheckBox*>(QStringLiteral("checkInfos"))->isChecked());
}

// A saved rectangle larger than the screen, or off it (as when a second
// screen is gone), or smaller than the window may be, is fitted at start onto
// the screen the window lies on most, the frame and title bar included, and
// saved so.
TEST_F(tavrinDlgTest, savedWindowRectangleIsFittedOntoTheScreen)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    ASSERT_EQ(QGuiApplication::primaryScreen(), screens[0]);
    ASSERT_EQ(screens[0]->availableGeometry(), QRect(0, 0, 1366, 768));
    ASSERT_EQ(screens[1]->availableGeometry(), QRect(1366, 100, 1280, 1024));
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const struct {
        std::optional<QRect> saved;  // none: the first start, centred on the primary screen
        int screen;
        bool kept;
    } cases[] = {
        {std::nullopt, 0, false},
        {QRect(1000000000, 1000000000, 1147483647, 1147483647), 0, false},
        {QRect(kMin, kMin, -1 - kMin, -1 - kMin), 0, false},  // the edges -2^31, -2^31, -1, -1
        {QRect(3000, 100, 1100, 600), 0, false},
        {QRect(-5000, -5000, 1100, 600), 0, false},
        {QRect(500, 400, 1100, 600), 0, false},
        {QRect(100, 2, 1100, 600), 0, false},
        {QRect(100, 50, 1100, 600), 0, true},
        {QRect(1500, 300, 1100, 600), 1, true},
        {QRect(1300, 60, 1100, 600), 1, false},
        {QRect(2300, 900, 1100, 600), 1, false},
        // Smaller than the window's minimum size, which it grows to from the
        // top-left corner, so fitted and placed at that size.
        {QRect(100, 500, 1100, 200), 0, false},
        {QRect(1316, 718, 50, 50), 1, false},  // grown, it lies mostly on the second screen
        {QRect(kMax - 1, kMax - 1, 1, 1), 0, false},  // the saved right and bottom edges are INT_MAX
        {QRect(200, 700, 1000, 300), 0, false},  // reaches below the lower edge of the primary screen
        // Grown, it shares more area but a narrower strip with the primary.
        {QRect(1000, -400, 800, 200), 0, false},
        // On no screen. The odd height makes a 32-bit overlap with the second
        // screen wrap to a positive area.
        {QRect(kMin, 300, 800, 601), 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.saved));
        if (c.saved)
            SaveWindowState(*profile, *c.saved);
        auto dlg = open();
        const QRect shown = dlg->geometry();
        const QMargins frame = EstimatedFrame(*dlg);
        dlg.reset();
        EXPECT_GT(frame.top(), frame.bottom());
        const QRect framed = shown.marginsAdded(frame);
        EXPECT_TRUE(screens[c.screen]->availableGeometry().contains(framed)) << testing::PrintToString(framed);
        if (c.kept) {
            EXPECT_EQ(shown, c.saved);
        }
        if (!c.saved) {
            EXPECT_EQ(shown.center(), screens[0]->availableGeometry().center()) << testing::PrintToString(shown);
        }
        EXPECT_EQ(LoadWindowState(*profile), shown);
    }
}

TEST_F(tavrinDlgTest, openingShowsOneErrorNamingEveryFileThatCannotBeOpened)
{
    const QString a = write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000);
    const QString b = write(QStringLiteral("b.stg"), QStringLiteral("ГС"), 2000);
    const QString c = write(QStringLiteral("c.stg"), QStringLiteral("ГС"), 3000);
    setRecent({a, b, c});
    auto dlg = open();
    QStringList opened;
    QStringList errors;
    dlg->errorBoxHook = [&](const QString& caption, const QString& text) {
        EXPECT_EQ(caption, QStringLiteral("Ошибка"));
        errors.append(text);
    };
    selectRows(*dlg, {0, 2});
    // A failure's box comes about a second after it: a box much later fails
    // the test rather than slowing it, with room for a loaded machine.
    constexpr int boxWithin = 4000;
    // A stand-in that answers at once, failing one file or both.
    const std::pair<QStringList, QString> refusals[] = {
        {{a}, QStringLiteral("Не удалось открыть файл\n") + a},
        {{a, c}, QStringLiteral("Не удалось открыть файлы\n") + a + '\n' + c}};
    for (const auto& [refused, box] : refusals) {
        opened.clear();
        errors.clear();
        dlg->openFileHook = [&](const QString& path) { return opened.append(path), !refused.contains(path); };
        button(*dlg, "buttonOpen")->click();
        EXPECT_EQ(opened, QStringList({a, c}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, boxWithin));
        EXPECT_EQ(errors, QStringList({box}));
    }

    // Through xdg-open: no application for one file or for both, the
    // application killed, no opener; nobody waits for the opener meanwhile,
    // and the files that fail together share one box.
    dlg->openFileHook = nullptr;
    const QString notStarted = QStringLiteral("Не удалось открыть файлы\n"),
                  noApp = QStringLiteral("Ни одно приложение не смогло открыть файл\n"),
                  noApps = QStringLiteral("Ни одно приложение не смогло открыть файлы\n");
    const std::pair<std::optional<QByteArray>, QStringList> openers[] = {
        {"case \"$1\" in */a.stg) exit 3;; esac", {noApp + a}},
        {"exit 3", {noApps + a + '\n' + c}},
        {"kill -9 $$", {noApps + a + '\n' + c}},
        {std::nullopt, {notStarted + a + '\n' + c}}};
    for (const auto& [ending, boxes] : openers) {
        errors.clear();
        testsupport::StandInOpener opener(ending);
        ASSERT_TRUE(opener.ready());
        button(*dlg, "buttonOpen")->click();
        if (ending) {
            // Both handed over while the first is still at work.
            EXPECT_TRUE(QTest::qWaitFor([&] { return opener.files().size() == 2; }, 20000));
            QStringList files = opener.files();
            files.sort();
            EXPECT_EQ(files, QStringList({a, c}));
            EXPECT_TRUE(errors.isEmpty());
            ASSERT_TRUE(opener.release());
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return errors.size() >= boxes.size(); }, boxWithin));
        QTest::qWait(200);  // nothing more comes once every opener has ended
        errors.sort();
        EXPECT_EQ(errors, boxes);
    }

    // One file fails at once while the other's application runs on: the
    // failure is told without waiting for it, and the other's later failure
    // in a box of its own.
    errors.clear();
    testsupport::StandInOpener opener("exit 3", "case \"$1\" in */a.stg) exit 3;; esac");
    ASSERT_TRUE(opener.ready());
    button(*dlg, "buttonOpen")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, boxWithin));
    EXPECT_EQ(errors, QStringList({noApp + a}));
    ASSERT_TRUE(opener.release());
    EXPECT_TRUE(QTest::qWaitFor([&] { return errors.size() > 1; }, boxWithin));
    EXPECT_EQ(errors, QStringList({noApp + a, noApp + c}));

    // Failures 0.8 s apart: the box comes a second after the first, not
    // after the last, so the one 1.6 s after the first has a box of its own.
    errors.clear();
    testsupport::StandInOpener spaced("exit 3", "case \"$1\" in */b.stg) sleep 0.8;; */c.stg) sleep 1.6;; esac; exit 3");
    ASSERT_TRUE(spaced.ready());
    selectRows(*dlg, {0, 1, 2});
    button(*dlg, "buttonOpen")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return errors.size() > 1; }, 1600 + boxWithin));
    QTest::qWait(200);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains(a) && !errors[0].contains(c)) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains(c) && !errors[1].contains(a)) << errors[1].toStdString();
}

// Every full read warns once of each file it could not read; the warning
// outlives the clearing of the log by each calculation until the file is
// listed again.
TEST_F(tavrinDlgTest, everyFullReadWarnsOnceForEachFileItCouldNotRead)
{
    const QString good = write(QStringLiteral("run/a.stg"), QStringLiteral("ГС"), 1000);
    const QString cut = m_dir.filePath(QStringLiteral("run/cut.stg")), empty = m_dir.filePath(QStringLiteral("run/empty.stg"));
    // Whole, each is a run of its own, not a copy of the listed one.
    const QByteArray whole = testsupport::readFileBytes(write(QStringLiteral("b.stg"), QStringLiteral("ГС"), 2000));
    const QByteArray wholeEmpty = testsupport::readFileBytes(write(QStringLiteral("c.stg"), QStringLiteral("ГС"), 3000));
    const auto spoil = [&](bool spoilt) {
        ASSERT_TRUE(testsupport::writeFileBytes(cut, spoilt ? whole.left(whole.size() / 2) : whole));
        ASSERT_TRUE(testsupport::writeFileBytes(empty, spoilt ? QByteArray() : wholeEmpty));
    };
    const auto accept = acceptChanged;
    for (const QString read : {"recent list", "folder scan", "buttonRecalc", "buttonSettings", "buttonMixtures"}) {
        SCOPED_TRACE(read.toStdString());
        const bool atStart = !read.startsWith(QStringLiteral("button"));
        const QString how = atStart ? QStringLiteral("не добавлен в список") : QStringLiteral("удалён из списка");
        const QStringList expected = {
            QStringLiteral("Чтение хроматограмм: Файл %1 не прочитан и %2: файл обрывается раньше, чем кончаются его данные.").arg(cut, how),
            QStringLiteral("Чтение хроматограмм: Файл %1 не прочитан и %2: файл пуст.").arg(empty, how)};
        const bool scan = read == QStringLiteral("folder scan");
        SaveRecentChromatograms(*profile, scan ? QStringList() : QStringList({good, cut, empty}));
        ChromatogramFolders folders;
        folders.AddFolder(m_dir.filePath(QStringLiteral("run")));
        folders.enAutoOpen = scan ? 1 : 0;
        folders.SaveSettings(*profile);
        spoil(atStart);
        auto dlg = open();
        spoil(true);
        if (read == QStringLiteral("buttonRecalc"))
            button(*dlg, "buttonRecalc")->click();
        else if (!atStart)
            pressAndAnswer(*dlg, read.toLatin1().constData(), accept);
        EXPECT_EQ(column(*dlg, 1), QStringList({"a.stg"}));
        EXPECT_EQ(readWarnings(), expected);
        EXPECT_TRUE(messageText(*dlg).contains(expected[0]) && messageText(*dlg).contains(expected[1]));
        pressAndAnswer(*dlg, "buttonComponents", accept);
        EXPECT_EQ(readWarnings(), expected);
        spoil(false);
        ASSERT_GE(dlg->AddChromatogram(cut), 0);
        dlg->RefreshChromatograms();
        EXPECT_EQ(readWarnings(), expected.mid(1));
    }
}

// A warning about an unread file lasts, once, through every later full read
// and calculation, until the file is listed again (for good) or "Удалить все"
// starts a new set; a choice of it in "Добавить" that fails again renews it.
TEST_F(tavrinDlgTest, readWarningLastsUntilTheFileIsListedAgainOrTheSetIsCleared)
{
    openingDialogFolder(QStringLiteral("runs"));
    const QString later = write(QStringLiteral("runs/b.stg"), QStringLiteral("ГС"), 2000);
    const QString first = write(QStringLiteral("runs/a.stg"), QStringLiteral("ГС"), 1000);
    const QByteArray whole = testsupport::readFileBytes(first);
    ASSERT_TRUE(testsupport::writeFileBytes(first, {}));
    setRecent({later, first});
    auto dlg = open();
    const auto expectWarnings = [&](const QStringList& expected) {
        EXPECT_EQ(readWarnings(), expected);
        EXPECT_EQ(messageText(*dlg).count(QStringLiteral("Чтение хроматограмм:")), expected.size());
    };
    const QStringList unread = {
        QStringLiteral("Чтение хроматограмм: Файл %1 не прочитан и не добавлен в список: файл пуст.").arg(first)};
    expectWarnings(unread);
    button(*dlg, "buttonRecalc")->click();
    expectWarnings(unread);
    button(*dlg, "buttonRecalc")->click();
    for (const char* read : {"buttonSettings", "buttonMixtures"}) {
        SCOPED_TRACE(read);
        pressAndAnswer(*dlg, read, acceptChanged);
        expectWarnings(unread);
    }

    // Chosen in "Добавить" with another fault: the box and the one warning give it.
    ASSERT_TRUE(testsupport::writeFileBytes(first, whole.left(whole.size() / 2)));
    QStringList boxes;
    dlg->errorBoxHook = [&](const QString&, const QString& text) { boxes << text; };
    pressAndAnswer(*dlg, "buttonAdd", [](QDialog* d) {
        qobject_cast<COpenChrmDlg*>(d)->List()->selectAll();
        d->accept();
    });
    const QString cut = QStringLiteral("файл обрывается раньше, чем кончаются его данные");
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Не удалось прочитать файл. В список он не добавлен.\n\n"
                                                "a.stg: Файл обрывается раньше, чем кончаются его данные.")});
    expectWarnings({QStringLiteral("Чтение хроматограмм: Файл %1 не прочитан и не добавлен в список: %2.").arg(first, cut)});

    // Listed again, first in the list: forgotten, also once its row is gone.
    ASSERT_TRUE(testsupport::writeFileBytes(first, whole));
    ASSERT_EQ(dlg->AddChromatogram(first), 1);
    dlg->RefreshChromatograms();
    EXPECT_EQ(column(*dlg, 1), QStringList({"a.stg", "b.stg"}));
    expectWarnings({});
    selectRows(*dlg, {0});
    button(*dlg, "buttonDelete")->click();
    expectWarnings({});
    button(*dlg, "buttonRecalc")->click();
    expectWarnings({});

    // Gone at a re-read: the warning outlasts "Удалить" of another row, not the set's clearing.
    ASSERT_GE(dlg->AddChromatogram(first), 0);
    ASSERT_TRUE(QFile::remove(later));
    button(*dlg, "buttonRecalc")->click();
    const QStringList gone = {QStringLiteral("Чтение хроматограмм: Файл %1 не прочитан и удалён из списка: файл не найден.").arg(later)};
    expectWarnings(gone);
    selectRows(*dlg, {0});
    button(*dlg, "buttonDelete")->click();
    ASSERT_TRUE(dlg->Records().empty());
    expectWarnings(gone);
    button(*dlg, "buttonDeleteAll")->click();
    expectWarnings({});
}

// A copy of a listed run read at the start or chosen in "Добавить", and a file overwritten
// with the run of a row above at "Пересчитать", are named with the run's listed path.
TEST_F(tavrinDlgTest, copyOfAListedRunIsNamedWithTheRunsPathInsteadOfFillingAParallel)
{
    const QString copies = openingDialogFolder(QStringLiteral("runs/copies"));
    const QString run = write(QStringLiteral("runs/a.stg"), QStringLiteral("ГС скв. 41"), 1700000000);
    const QString other = write(QStringLiteral("runs/b.stg"), QStringLiteral("ГС скв. 41"), 1700000600);
    const QString copy = copies + QStringLiteral("/a.stg");
    ASSERT_TRUE(QDir().mkpath(copies) && QFile::copy(run, copy));
    setRecent({run, copy, other});
    auto dlg = open();
    EXPECT_EQ(column(*dlg, 1), QStringList({"a.stg", "b.stg"}));
    QStringList warnings = {QStringLiteral("Чтение хроматограмм: Файл %1 не добавлен в список: это та же хроматограмма, "
                                           "что и файл %2 из списка.").arg(QDir::toNativeSeparators(copy), QDir::toNativeSeparators(run))};
    EXPECT_TRUE(messageText(*dlg).contains(warnings[0]));

    ASSERT_TRUE(QFile::remove(other) && QFile::copy(run, other));
    button(*dlg, "buttonRecalc")->click();
    warnings << QStringLiteral("Чтение хроматограмм: Файл %1 удалён из списка: это та же хроматограмма, что и файл %2 выше "
                               "в списке.").arg(QDir::toNativeSeparators(other), QDir::toNativeSeparators(run));
    // The run the file held before is named, once.
    const auto replaced = [](const QString& path, const QString& time) {
        return QStringLiteral("Чтение хроматограмм: В файле %1 теперь другая хроматограмма; прежняя (проба «ГС скв. 41», "
                              "анализ %2) убрана из списка.").arg(QDir::toNativeSeparators(path), time);
    };
    EXPECT_EQ(readWarnings(), warnings + QStringList{replaced(other, QStringLiteral("14.11.23  22:23"))});

    // The same injection worked up again under another name: its table is not taken without a word.
    ChromatogramFile reworked;
    reworked.sample = QStringLiteral("ГС скв. 41");
    reworked.method = QStringLiteral("ГАЗ-1");
    reworked.analysisTime = 1700000000;
    reworked.peaks = {peak(0.25, 1.25, 90.0, QStringLiteral("Метан"))};
    const QString again = copies + QStringLiteral("/a-2.stg");
    ASSERT_TRUE(testsupport::writeChromatogramFile(again, reworked));
    button(*dlg, "buttonDeleteAll")->click();
    ASSERT_EQ(dlg->AddChromatogram(run), 0);
    const auto selectAll = [](QDialog* d) {
        qobject_cast<COpenChrmDlg*>(d)->List()->selectAll();
        d->accept();
    };
    pressAndAnswer(*dlg, "buttonAdd", selectAll);
    const QString otherPeaks = QStringLiteral("Чтение хроматограмм: Файл %1 не добавлен в список: это тот же анализ, что и файл "
                                              "%2 из списка, но с другой таблицей пиков; в расчёте таблица пиков файла %2. Чтобы "
                                              "взять таблицу файла %1, удалите из списка файл %2 и добавьте файл %1.")
                                   .arg(QDir::toNativeSeparators(again), QDir::toNativeSeparators(run));
    QStringList kept = readWarnings(), expected = {warnings[0], otherPeaks};
    kept.sort();
    expected.sort();
    EXPECT_EQ(kept, expected);

    // Today's run under the listed name, chosen: the row takes it; yesterday's, chosen too, is a row of its own.
    write(QStringLiteral("runs/a.stg"), QStringLiteral("ГС скв. 99"), 1700001200);
    openingDialogFolder(QStringLiteral("runs"));
    pressAndAnswer(*dlg, "buttonAdd", selectAll);
    EXPECT_EQ(column(*dlg, 1), QStringList({"b.stg", "a.stg"}));
    EXPECT_EQ(column(*dlg, 2), QStringList({"ГС скв. 41", "ГС скв. 99"}));
    EXPECT_TRUE(messageText(*dlg).contains(replaced(run, QStringLiteral("14.11.23  22:13"))));
    button(*dlg, "buttonRecalc")->click();
    EXPECT_FALSE(messageText(*dlg).contains(QStringLiteral("теперь другая хроматограмма")));
}

TEST_F(tavrinDlgTest, settingsOkRereadsTheFilesAndCancelChangesNothing)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС первая"), 1000)});
    auto dlg = open();
    write(QStringLiteral("a.stg"), QStringLiteral("ГС вторая"), 1000);

    pressAndAnswer(*dlg, "buttonSettings", [](QDialog* d) { d->reject(); });
    EXPECT_EQ(column(*dlg, 2), QStringList({QStringLiteral("ГС первая")}));

    pressAndAnswer(*dlg, "buttonSettings", [](QDialog* d) { d->accept(); });
    EXPECT_EQ(column(*dlg, 2), QStringList({QStringLiteral("ГС вторая")}));
}

TEST_F(tavrinDlgTest, cylinderDialogRecalculatesOnlyAfterAChange)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС первая"), 1000)});
    auto dlg = open();
    write(QStringLiteral("a.stg"), QStringLiteral("ГС вторая"), 1000);

    pressAndAnswer(*dlg, "buttonMixtures", [](QDialog* d) { d->accept(); });
    EXPECT_EQ(column(*dlg, 2), QStringList({QStringLiteral("ГС первая")}));

    pressAndAnswer(*dlg, "buttonMixtures", [](QDialog* d) {
        d->findChild<QPushButton*>(QStringLiteral("buttonAddMixture"))->click();
        d->reject();
    });
    EXPECT_EQ(column(*dlg, 2), QStringList({QStringLiteral("ГС первая")}));

    pressAndAnswer(*dlg, "buttonMixtures", [](QDialog* d) { d->accept(); });
    EXPECT_EQ(column(*dlg, 2), QStringList({QStringLiteral("ГС вторая")}));
}

// Whichever button closes the cylinder dialog, a deleted cylinder no longer
// makes a calibration of the record it matched, nor does the database on disk
// hold it any longer.
TEST_F(tavrinDlgTest, aDeletedCylinderLeavesTheRecordsWhicheverButtonCloses)
{
    struct Case { const char* name; bool ok; };
    for (const Case& c : {Case{"Ок", true}, Case{"Отмена", false}}) {
        SCOPED_TRACE(c.name);
        auto cylinder = std::make_shared<MixtureData>();
        cylinder->number = 1;
        cylinder->name = QStringLiteral("Баллон 7");
        cylinder->identifier = QStringLiteral("гсо-12");
        cylinder->type = MixtureKindGs;
        const QByteArray stored = WriteMixturesArchive({cylinder});
        ASSERT_TRUE(testsupport::writeFileBytes(mixturesPath, stored));
        setRecent({write(QStringLiteral("cal.stg"), QStringLiteral("Калибровка ГСО-12"), 1000, QStringLiteral("ГАЗ-1"), true)});
        auto dlg = open();
        ASSERT_EQ(column(*dlg, 5), QStringList{QStringLiteral("ГС Калибровка 1 (Баллон 7)")});
        ASSERT_EQ(dlg->Results().chromatograms().count(SlotGsCalibration1), 1u);

        pressAndAnswer(*dlg, "buttonMixtures", [&c](QDialog* d) {
            auto* grid = d->findChild<CGridCtrl*>(QStringLiteral("gridMixtures"));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(0, 0)).center());
            d->findChild<QPushButton*>(QStringLiteral("buttonDeleteMixture"))->click();
            if (c.ok)
                d->accept();
            else
                d->reject();
        });
        EXPECT_TRUE(dlg->Mixtures()->Mixtures().empty());
        EXPECT_EQ(dlg->Records().at(0).mixture, nullptr);
        EXPECT_FALSE(column(*dlg, 5).at(0).contains(QStringLiteral("Баллон 7")));
        EXPECT_EQ(dlg->Results().chromatograms().count(SlotGsCalibration1), 0u);
        EXPECT_EQ(testsupport::readFileBytes(mixturesPath), WriteMixturesArchive({}));
    }
}

// The session's end writes what a close writes, asking nothing, and the window stays.
TEST_F(tavrinDlgTest, aSessionsEndWritesWhatACloseWritesAndTheWindowStays)
{
    const QString a = write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000);
    setRecent({a});
    auto dlg = open();
    dlg->Mixtures()->findChild<QPushButton*>(QStringLiteral("buttonAddMixture"))->click();
    dlg->SaveSession();
    EXPECT_EQ(testsupport::storedProfile(profileFile()).value(QStringLiteral("WState")).toByteArray().size(), 16);
    EXPECT_EQ(listOnDisk(), QStringList{a});
    EXPECT_EQ(testsupport::readFileBytes(mixturesPath), WriteMixturesArchive(dlg->Mixtures()->Mixtures()));
    EXPECT_EQ(column(*dlg, 1), QStringList{"a.stg"});
}

// A signal while "Смеси" is open leaves that dialog's loop and the window's;
// the end writes the cylinders once and asks nothing when that fails.
TEST_F(tavrinDlgTest, endingOnASignalLeavesAnOpenDialogAndAsksNothing)
{
    auto dlg = open();
    int asked = 0;
    dlg->Mixtures()->setMessageSink([&asked](auto...) { return ++asked, QMessageBox::No; });
    pressAndAnswer(*dlg, "buttonMixtures", [&](QDialog* d) {
        d->findChild<QPushButton*>(QStringLiteral("buttonAddMixture"))->click();
        ASSERT_TRUE(QDir().mkpath(mixturesPath));  // a folder where the database should be
        dlg->AskNothingAtTheEnd();
        QCoreApplication::exit(0);
    });
    EXPECT_TRUE(dlg->Mixtures()->HasUnsavedChanges());
    dlg->exec();  // returns at once
    dlg.reset();
    EXPECT_EQ(asked, 0);
    // Until QCoreApplication::exec runs, no event loop of this program would run again.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// The program itself: a shutdown, a lost terminal or Ctrl+C ends it as its
// close does, a second signal while it ends included: a normal exit, with
// the list and the window rectangle written. A message box open at the start
// (a damaged cylinder database) is left too.
TEST_F(tavrinDlgTest, aSignalEndsTheProgramAsItsCloseDoes)
{
    const QString run = write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000);
    for (const auto& [signalNumber, boxOpen] : {std::pair{SIGTERM, false}, {SIGHUP, false}, {SIGINT, true}}) {
        SCOPED_TRACE(signalNumber);
        const QString home = m_dir.filePath(QString::number(signalNumber));
        const QString conf = home + QStringLiteral("/config/Quindle/tavrin.conf");
        // The start writes its list without the file that is gone.
        Profile(conf).writeString(profile_sections::Recent, QStringLiteral("0"), run);
        Profile(conf).writeString(profile_sections::Recent, QStringLiteral("1"), home + QStringLiteral("/gone"));
        if (boxOpen) {  // five cylinders announced, none there
            ASSERT_TRUE(testsupport::writeFileBytes(home + QStringLiteral("/data/Morvane/Add/tavrin/MixturesData"),
                                                    QByteArray("\x05\0\0\0", 4)));
        }
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, path] : {std::pair{"HOME", ""}, {"XDG_CONFIG_HOME", "/config"}, {"XDG_DATA_HOME", "/data"}})
            env.insert(QString::fromLatin1(name), home + QString::fromLatin1(path));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        // As a terminal's program gets them, whatever this one was started with.
        program.setChildProcessModifier([] { std::signal(SIGHUP, SIG_DFL), std::signal(SIGINT, SIG_DFL); });
        program.start(QStringLiteral(TAVRIN_PROGRAM), {});
        // Ready once its handler is in place, as /proc tells.
        const auto ready = [&, signalNumber = signalNumber] {
            QFile status(QStringLiteral("/proc/%1/status").arg(program.processId()));
            const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
            const qsizetype at = text.indexOf("SigCgt:");
            return at >= 0 && (text.mid(at + 7, 17).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1) & 1);
        };
        for (QDeadlineTimer bound(60000); !bound.hasExpired() && !ready();)
            QThread::msleep(20);
        ASSERT_TRUE(ready());
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(testsupport::storedChromatogramList(conf), QStringList{run});
        EXPECT_EQ(testsupport::storedProfile(conf).value(QStringLiteral("WState")).toByteArray().size(), 16);
    }
}

TEST_F(tavrinDlgTest, enterAndEscapeBothEndTheWindow)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000)});
    auto dlg = open();
    dlg->show();
    // Enter on a button presses that button and leaves the window open.
    button(*dlg, "buttonDeleteAll")->setFocus();
    QTest::keyClick(button(*dlg, "buttonDeleteAll"), Qt::Key_Return);
    EXPECT_TRUE(dlg->Records().empty());
    EXPECT_TRUE(dlg->isVisible());

    dlg->ChromatogramList()->setFocus();
    QTest::keyClick(dlg->ChromatogramList(), Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);

    dlg->show();
    QTest::keyClick(dlg->ChromatogramList(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);

    // The Enter of the numeric keypad is Enter too.
    dlg->show();
    dlg->ChromatogramList()->setFocus();
    QTest::keyClick(dlg->ChromatogramList(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

// Every table shown passes Tab and Shift+Tab on to the controls around it,
// and a kept dialog starts each opening at its first control.
TEST_F(tavrinDlgTest, tabLeavesEveryTableAndDialogsReopenAtTheirFirstControl)
{
    ASSERT_TRUE(testsupport::writeFileBytes(mixturesPath, WriteMixturesArchive({std::make_shared<MixtureData>()})));
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000)});
    auto dlg = open();
    dlg->show();
    const auto expectTabLeavesTables = [](QWidget* window) {
        for (CGridCtrl* grid : window->findChildren<CGridCtrl*>())
            for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
                grid->setFocus();
                QTest::keyClick(grid, key);
                EXPECT_TRUE(!grid->isVisible() || window->focusWidget() != grid) << grid->objectName().toStdString();
            }
    };
    expectTabLeavesTables(dlg.get());
    for (const char* opens : {"buttonComponents", "buttonMixtures", "buttonSettings"}) {
        pressAndAnswer(*dlg, opens, [&](QDialog* d) {
            expectTabLeavesTables(d);
            d->reject();
        });
    }
    const std::pair<QDialog*, QString> kept[] = {
        {dlg->Report(), "deviceNumber"}, {dlg->Components(), "QTabBar"}, {dlg->Mixtures(), "gridMixtures"}};
    for (const auto& [d, first] : kept) {
        d->show();
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Отмена"))
                b->setFocus();
        d->reject();
        d->show();
        const QWidget* f = d->focusWidget();
        EXPECT_TRUE(f && (f->objectName() == first || f->inherits(first.toLatin1()))) << first.toStdString();
        d->reject();
    }
}

// A 1366 x 768 screen, less a title bar, frames and a task bar.
constexpr int kScreenWidth = 1366 - 16;
constexpr int kScreenHeight = 768 - 70;

void expectWholeColumns(const CGridCtrl& grid)
{
    EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0) << grid.objectName().toStdString();
    for (int c = 0; c < grid.columnCount(); ++c)
        EXPECT_GE(grid.columnWidth(c), grid.horizontalHeader()->sectionSizeHint(c)) << grid.GetColumnText(c).toStdString();
}

TEST_F(tavrinDlgTest, startSizeShowsEveryColumnWholeOnASmallScreen)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000)});
    auto dlg = open();
    dlg->show();
    QApplication::processEvents();
    EXPECT_LE(dlg->width(), kScreenWidth);
    EXPECT_LE(dlg->height(), kScreenHeight);
    EXPECT_EQ(dlg->minimumSize(), dlg->size());
    expectWholeColumns(*dlg->ChromatogramList());
    expectWholeColumns(dlg->InfoPage()->m_grid);
    // The longest role with a cylinder's name fits its column.
    EXPECT_GE(dlg->ChromatogramList()->columnWidth(5),
              dlg->ChromatogramList()->fontMetrics().horizontalAdvance(QStringLiteral("ГС Калибровка 5 (Баллон 7)")));
}

// On a whole 1366 x 768 screen the free width of the list goes to its last
// column; the others keep their widths.
TEST_F(tavrinDlgTest, theListsLastColumnTakesTheFreeWidth)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС скв. 1205, сепаратор 2, отбор 3"), 1000)});
    auto dlg = open();
    dlg->show();
    QApplication::processEvents();
    const CGridCtrl& list = *dlg->ChromatogramList();
    const int last = list.columnCount() - 1;
    QList<int> widths;
    for (int c = 0; c < last; ++c)
        widths << list.columnWidth(c);

    dlg->resize(1366, 768);
    QApplication::processEvents();
    for (int c = 0; c < last; ++c)
        EXPECT_EQ(list.columnWidth(c), widths[c]) << c;
    EXPECT_EQ(list.columnViewportPosition(last) + list.columnWidth(last), list.viewport()->width());
    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("tavrin_main_1366x768.png"));
}

TEST_F(tavrinDlgTest, enterAtTheStartDeletesNothing)
{
    setRecent({write(QStringLiteral("a.stg"), QStringLiteral("ГС"), 1000)});
    auto dlg = open();
    selectRows(*dlg, {0});
    dlg->show();
    QApplication::processEvents();
    EXPECT_EQ(dlg->focusWidget(), dlg->ChromatogramList());
    // No button looks as if Enter pressed it, not even once the focus has
    // been on one and gone back to the list.
    const auto expectNoDefault = [&dlg](const char* when) {
        for (const QPushButton* b : dlg->findChildren<QPushButton*>()) {
            if (b->window() == dlg.get()) {
                EXPECT_FALSE(b->isDefault()) << b->text().toStdString() << " " << when;
            }
        }
    };
    expectNoDefault("at the start");
    button(*dlg, "buttonRecalc")->setFocus(Qt::TabFocusReason);
    dlg->ChromatogramList()->setFocus(Qt::TabFocusReason);
    expectNoDefault("after a button had the focus");
    QTest::keyClick(dlg->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dlg->Records().size(), 1u);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

TEST_F(tavrinDlgTest, aRightClickOnAButtonOffersTheAboutBox)
{
    auto dlg = open();
    dlg->show();
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (const QAction* action : menu->actions())
            offered << action->text();
        menu->close();
    });
    QPushButton* recalc = button(*dlg, "buttonRecalc");
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), recalc->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(recalc, &click);
    EXPECT_EQ(offered, QStringList{QStringLiteral("&О программе")});
}

TEST_F(tavrinDlgTest, windowWithAFullDayOfRunsDrawsItself)
{
    QStringList paths;
    const QString gas = QStringLiteral("ГАЗ-1");
    paths << write(QStringLiteral("day/01_blank.stg"), QStringLiteral("Холостая проба"), 1700000000);
    paths << write(QStringLiteral("day/05_gs1.stg"), QStringLiteral("ГС скв. 41"), 1700003000);
    paths << write(QStringLiteral("day/06_gs2.stg"), QStringLiteral("ГС скв. 41"), 1700003600);
    paths << write(QStringLiteral("day/07_gd1.stg"), QStringLiteral("ГД скв. 41"), 1700004200);
    paths << write(QStringLiteral("day/08_gd2.stg"), QStringLiteral("ГД скв. 41"), 1700004800);
    paths << write(QStringLiteral("day/09_temp.stg"), QStringLiteral("Смесь алканов"), 1700005400,
                   QStringLiteral("ДК-Темп"));
    paths << write(QStringLiteral("day/10_dc1.stg"), QStringLiteral("ДК скв. 41"), 1700006000,
                   QStringLiteral("ДК-С1С5"));
    paths << write(QStringLiteral("day/11_dc2.stg"), QStringLiteral("ДК скв. 41"), 1700006600,
                   QStringLiteral("ДК-С1С5"));
    setRecent(paths);
    auto dlg = open();
    dlg->show();
    ASSERT_EQ(dlg->ChromatogramList()->GetItemCount(), 8);
    EXPECT_EQ(column(*dlg, 5).at(5), QStringLiteral("ДК Температурная"));

    selectRows(*dlg, {1});
    const QPixmap list = dlg->grab();
    EXPECT_FALSE(list.isNull());
    dlg->ResultTabs()->setCurrentWidget(dlg->MessagePage());
    const QPixmap messages = dlg->grab();
    EXPECT_FALSE(messages.isNull());
    testsupport::saveScreenshotIfAsked(list, QStringLiteral("tavrin_main_list.png"));
    testsupport::saveScreenshotIfAsked(messages, QStringLiteral("tavrin_main_messages.png"));
}

namespace {

// Every sub-tab of every result page, and each grid showing the captions the
// report reads and the rows of the last calculation.
void ExpectPagesShowTheTables(tavrinDlg& dlg)
{
    const ResultTables& tables = dlg.Tables();
    const std::vector<std::vector<const ResultTable*>> pages = {tables.gs.All(), tables.gd.All(), tables.dc.All(),
                                                                tables.pg.All()};
    ASSERT_EQ(dlg.ResultPages().size(), pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const DlgResultTab& page = *dlg.ResultPages()[p];
        // The condensate page has the calibration graph as its second sub-tab.
        const bool hasGraph = p == 2;
        ASSERT_EQ(page.SubTabs()->count(), static_cast<int>(pages[p].size()) + (hasGraph ? 1 : 0));
        if (hasGraph) {
            EXPECT_EQ(page.SubTabs()->tabText(1), QStringLiteral("Градуировочный график"));
        }
        for (std::size_t t = 0; t < pages[p].size(); ++t) {
            const ResultTable& table = *pages[p][t];
            const int tab = static_cast<int>(t) + (hasGraph && t >= 1 ? 1 : 0);
            EXPECT_EQ(page.SubTabs()->tabText(tab), table.SubTabCaption());
            const CGridCtrl& grid = page.TablePage(table)->m_grid;
            EXPECT_EQ(ColumnCaptions(grid), ColumnCaptions(table));
            EXPECT_EQ(grid.GetItemCount(),
                      static_cast<int>(table.BuildRows(dlg.Results(), dlg.Settings().general).size()));
        }
    }
}

} // namespace

TEST_F(tavrinDlgTest, resultPagesShowEveryTableAndFollowTheSettingsCounts)
{
    auto cylinder = calc_inputs::Cylinder(MixtureKindGs, QStringLiteral("гсо-12"),
                                          {{QStringLiteral("Метан"), 95.0}, {QStringLiteral("Этан"), 5.0}});
    ASSERT_TRUE(testsupport::writeFileBytes(mixturesPath, WriteMixturesArchive({cylinder})));
    QStringList paths;
    for (int i = 1; i <= 3; ++i)
        paths << write(QStringLiteral("cal%1.stg").arg(i), QStringLiteral("Калибровка ГСО-12"), 1700000000 + i * 600,
                       QStringLiteral("ГАЗ-1"), true);
    paths << write(QStringLiteral("gs1.stg"), QStringLiteral("ГС скв. 41"), 1700003000);
    paths << write(QStringLiteral("gs2.stg"), QStringLiteral("ГС скв. 41"), 1700003600);
    setRecent(paths);

    auto dlg = open();
    ExpectPagesShowTheTables(*dlg);
    const DlgResultTab& gs = *dlg->ResultPages()[0];
    const CGridCtrl& calibration = gs.TablePage(dlg->Tables().gs.calibration)->m_grid;
    EXPECT_EQ(calibration.GetItemCount(), 2);
    EXPECT_EQ(gs.TablePage(dlg->Tables().gs.analysis)->m_grid.GetItemText(2, 1), QStringLiteral("Всего:"));
    // The 23 components of the formation gas and the page's five summary rows.
    EXPECT_EQ(dlg->ResultPages()[3]->TablePage(dlg->Tables().pg.method1)->m_grid.GetItemCount(), 28);
    dlg->resize(1366, 768);
    dlg->show();
    dlg->ResultTabs()->setCurrentIndex(1);
    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("tavrin_main_separator_gas.png"));

    // OK in the settings: the columns follow the new counts, once.
    const QStringList calibrationBefore = ColumnCaptions(calibration);
    const CGridCtrl& groups = dlg->ResultPages()[2]->TablePage(dlg->Tables().dc.groups)->m_grid;
    GeneralSettings general = testsupport::laboratorySettings();
    general.QtyGsCalib = 1;
    general.QtyDcC6C44 = 1;
    general.SaveSettings(*profile);
    pressAndAnswer(*dlg, "buttonSettings", [](QDialog* d) { d->accept(); });
    EXPECT_EQ(ColumnCaptions(calibration).mid(3, 5), QStringList({"К 1", "К 2", "К 3", "K 4", "K 5"}));
    EXPECT_EQ(ColumnCaptions(groups).at(4), QStringLiteral("Конц. 3, мас.%"));
    ExpectPagesShowTheTables(*dlg);

    general.QtyGsCalib = 0;
    general.QtyDcC6C44 = 0;
    general.SaveSettings(*profile);
    for (int i = 0; i < 2; ++i)
        pressAndAnswer(*dlg, "buttonSettings", [](QDialog* d) { d->accept(); });
    EXPECT_EQ(ColumnCaptions(calibration), calibrationBefore);
    EXPECT_EQ(groups.GetColumnCount(), 9);
    ExpectPagesShowTheTables(*dlg);
}

TEST_F(tavrinDlgTest, addButtonAddsTheFilesChosenInTheOpeningDialog)
{
    const QString runs = openingDialogFolder(QStringLiteral("runs"));
    write(QStringLiteral("runs/b.stg"), QStringLiteral("ГС скв. 41"), 1700000600);
    write(QStringLiteral("runs/a.stg"), QStringLiteral("ГС скв. 41"), 1700000000);
    write(QStringLiteral("runs/c.stg"), QStringLiteral("ГД скв. 41"), 1690000000);
    auto dlg = open();
    ASSERT_TRUE(button(*dlg, "buttonAdd")->isEnabled());

    pressAndAnswer(*dlg, "buttonAdd", [](QDialog* d) { d->reject(); });
    EXPECT_TRUE(dlg->Records().empty());

    pressAndAnswer(*dlg, "buttonAdd", [](QDialog* d) {
        auto* opening = qobject_cast<COpenChrmDlg*>(d);
        ASSERT_NE(opening, nullptr);
        // Newest first: b, a, c; the first two are chosen.
        ASSERT_EQ(opening->List()->topLevelItemCount(), 3);
        opening->List()->topLevelItem(0)->setSelected(true);
        opening->List()->topLevelItem(1)->setSelected(true);
        d->accept();
    });
    EXPECT_EQ(column(*dlg, 1), QStringList({"a.stg", "b.stg"}));
    EXPECT_EQ(column(*dlg, 5), QStringList({QStringLiteral("ГС Анализ 1"), QStringLiteral("ГС Анализ 2")}));
    EXPECT_EQ(listOnDisk(), QStringList({runs + QStringLiteral("/a.stg"), runs + QStringLiteral("/b.stg")}));

    // "Отмена" while the third is read with the listed two: it is not added, and the page says so until a new set begins.
    dlg->readProgressHook = [](int, int) { return false; };
    pressAndAnswer(*dlg, "buttonAdd", [](QDialog* d) {
        qobject_cast<COpenChrmDlg*>(d)->List()->selectAll();
        d->accept();
    });
    EXPECT_EQ(readWarnings(), QStringList{QStringLiteral("Чтение хроматограмм: Чтение остановлено кнопкой «Отмена»: не "
                                                         "прочитано файлов: 1, в список они не добавлены.")});
    button(*dlg, "buttonDeleteAll")->click();
    EXPECT_TRUE(readWarnings().isEmpty());
    const Profile saved(m_dir.filePath(QStringLiteral("user/Quindle/Morvane.conf")));
    EXPECT_EQ(saved.readString(QString(), QStringLiteral("LastOpenPath2"), QString()), runs);
}

// "Отмена" at the start is named; the line counts the files still unlisted
// and goes once each is chosen again or "Удалить все" begins a new set.
TEST_F(tavrinDlgTest, aStoppedStartNamesTheFilesItLeftUnreadUntilNoneIsLeft)
{
    openingDialogFolder(QStringLiteral("runs"));
    const QString a = write(QStringLiteral("runs/a.stg"), QStringLiteral("ГС"), 3000), link = m_dir.filePath(QStringLiteral("a.stg"));
    const QString c = write(QStringLiteral("runs/c.stg"), QStringLiteral("ГС"), 1000);
    ASSERT_TRUE(QFile::link(a, link));  // a, once listed, is not left out by this path
    setRecent({a, c, link});
    const auto stopped = [](int files) {
        return QStringList{QStringLiteral("Чтение хроматограмм: Чтение остановлено кнопкой «Отмена»: не прочитано файлов: "
                                          "%1, в список они не добавлены.").arg(files)};
    };
    const auto choose = [](int row) {
        return [row](QDialog* d) {
            QTreeWidget* list = qobject_cast<COpenChrmDlg*>(d)->List();
            row < 0 ? list->selectAll() : list->topLevelItem(row)->setSelected(true);
            d->accept();
        };
    };
    auto dlg = open([](int, int) { return false; });
    EXPECT_TRUE(messageText(*dlg).contains(stopped(3).first()));
    // The runs left unread stay in the saved list, after the listed ones.
    EXPECT_EQ(listOnDisk(), QStringList({a, c, link}));
    dlg->readProgressHook = nullptr;
    pressAndAnswer(*dlg, "buttonAdd", choose(0));
    EXPECT_EQ(readWarnings(), stopped(1));
    // Unreadable when chosen again: the box names it instead.
    ASSERT_TRUE(testsupport::writeFileBytes(c, {}));
    dlg->errorBoxHook = [](const QString&, const QString&) {};
    pressAndAnswer(*dlg, "buttonAdd", choose(-1));
    EXPECT_TRUE(readWarnings().isEmpty());
    EXPECT_EQ(listOnDisk(), QStringList({a, link}));
    dlg.reset();
    dlg = open([](int, int) { return false; });
    EXPECT_EQ(readWarnings(), stopped(2));
    button(*dlg, "buttonDeleteAll")->click();
    EXPECT_TRUE(readWarnings().isEmpty());
    EXPECT_TRUE(listOnDisk().isEmpty());
}

// One box after the opening dialog names the chosen files that could not be
// read, with the reasons: ten of them, then how many more.
TEST_F(tavrinDlgTest, addButtonNamesTheChosenFilesItCouldNotReadInOneBox)
{
    const QString runs = openingDialogFolder(QStringLiteral("runs"));
    const QByteArray whole = testsupport::readFileBytes(write(QStringLiteral("runs/a.stg"), QStringLiteral("ГС"), 1000));
    const struct {
        int unread;
        QString head;
        QString tail;  // the last line, after the files named
    } cases[] = {
        {1, QStringLiteral("Не удалось прочитать файл. В список он не добавлен."), {}},
        {10, QStringLiteral("Не удалось прочитать файлов: 10. В список они не добавлены."), {}},
        {11, QStringLiteral("Не удалось прочитать файлов: 11. В список они не добавлены."), QStringLiteral("и ещё файлов: 1.")},
        {12, QStringLiteral("Не удалось прочитать файлов: 12. В список они не добавлены."), QStringLiteral("и ещё файлов: 2.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unread);
        QDir(runs).removeRecursively();
        ASSERT_TRUE(testsupport::writeFileBytes(runs + QStringLiteral("/a.stg"), whole));
        for (int i = 1; i <= c.unread; ++i) {
            ASSERT_TRUE(testsupport::writeFileBytes(i % 2 ? runs + QStringLiteral("/cut%1.stg").arg(i)
                                                          : runs + QStringLiteral("/empty%1.stg").arg(i),
                                                    i % 2 ? whole.left(whole.size() / 2) : QByteArray()));
        }
        auto dlg = open();
        QStringList boxes;
        dlg->errorBoxHook = [&](const QString& caption, const QString& text) { boxes << caption << text; };
        pressAndAnswer(*dlg, "buttonAdd", [&c](QDialog* d) {
            QTreeWidget* list = qobject_cast<COpenChrmDlg*>(d)->List();
            ASSERT_EQ(list->topLevelItemCount(), c.unread + 1);
            list->selectAll();
            d->accept();
        });
        EXPECT_EQ(column(*dlg, 1), QStringList({"a.stg"}));
        ASSERT_EQ(boxes.size(), 2);
        EXPECT_EQ(boxes[0], QStringLiteral("Ошибка чтения"));
        QStringList lines = boxes[1].split(QLatin1Char('\n'));
        EXPECT_EQ(lines.takeFirst(), c.head);
        EXPECT_EQ(lines.takeFirst(), QString());
        if (!c.tail.isEmpty()) {
            EXPECT_EQ(lines.takeLast(), c.tail);
        }
        const int named = std::min(c.unread, 10);
        EXPECT_EQ(lines.size(), named) << boxes[1].toStdString();
        lines.removeDuplicates();
        EXPECT_EQ(lines.filter(QRegularExpression("^(cut[0-9]+\\.stg: Файл обрывается раньше, чем кончаются его данные\\.|"
                                                  "empty[0-9]+\\.stg: Файл пуст\\.)$")).size(), named) << boxes[1].toStdString();

        // Files never warned of are named in the box alone: no warning of them outlasts it.
        button(*dlg, "buttonRecalc")->click();
        EXPECT_EQ(readWarnings(), QStringList());
        EXPECT_FALSE(messageText(*dlg).contains(QStringLiteral("Чтение хроматограмм:")));
    }
}

TEST_F(tavrinDlgTest, componentsOkRecalculatesWithoutReadingFilesAndCancelDoesNothing)
{
    const QString a = write(QStringLiteral("a.stg"), QStringLiteral("ГС первая"), 1000);
    setRecent({a});
    CountingDlg dlg(*profile, log, mixturesPath);
    ASSERT_TRUE(button(dlg, "buttonComponents")->isEnabled());
    const int before = dlg.calculations;
    write(QStringLiteral("a.stg"), QStringLiteral("ГС вторая"), 1000);

    pressAndAnswer(dlg, "buttonComponents", [](QDialog* d) { d->reject(); });
    EXPECT_EQ(dlg.calculations, before);
    pressAndAnswer(dlg, "buttonComponents", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Компоненты"));
        d->accept();
    });
    EXPECT_EQ(dlg.calculations, before + 1);
    EXPECT_EQ(column(dlg, 2), QStringList({QStringLiteral("ГС первая")}));
}
