#include <gtest/gtest.h>

#include "app/AboutDlg.h"
#include "app/TavrinApp.h"
#include "app/TavrinDlg.h"
#include "data/ChromatogramFolders.h"
#include "data/MainDialogProfile.h"
#include "data/MessageLog.h"
#include "data/Sentence.h"
#include "platform/Profile.h"
#include "report/ReportResultTables.h"
#include "support/CalcInputs.h"
#include "support/ChromatogramFiles.h"
#include "support/ColumnCaptions.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/LaboratoryTypeRules.h"
#include "support/Sanitizers.h"
#include "support/Screenshot.h"
#include "support/XmlTree.h"
#include "ui/DlgMixtures.h"
#include "ui/DlgReport.h"
#include "ui/DlgResultTabs.h"
#include "ui/DlgOutTable.h"
#include "ui/GridCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <csignal>
#include <cstdlib>
#include <functional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using testsupport::ColumnCaptions;

namespace {

// Opens the report dialog from the window, presses "Сохранить" and hands the
// save dialog to answer as it shows; whatever answer leaves open is closed.
void saveFromReportDialog(tavrinDlg& window, const std::function<void(QFileDialog&)>& answer)
{
    QTimer::singleShot(0, [&answer] {
        auto* report = qobject_cast<DlgReport*>(QApplication::activeModalWidget());
        ASSERT_NE(report, nullptr);
        QTimer::singleShot(0, [&answer] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(files, nullptr);
            answer(*files);
            if (files->isVisible())
                files->reject();
        });
        report->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
        report->reject();
    });
    window.findChild<QPushButton*>(QStringLiteral("buttonReport"))->click();
}

// How the process takes SIGXFSZ now.
struct sigaction fileSizeSignal()
{
    struct sigaction now {};
    sigaction(SIGXFSZ, nullptr, &now);
    return now;
}

// Undoes what the program's set-up changed when the test ends, the signal's
// handling included.
auto undoSetUpAtEnd()
{
    return qScopeGuard([locale = QLocale(), organisation = QCoreApplication::organizationName(),
                        application = QCoreApplication::applicationName(), icon = QApplication::windowIcon(),
                        signal = fileSizeSignal()] {
        sigaction(SIGXFSZ, &signal, nullptr);
        qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
        QLocale::setDefault(locale);
        QCoreApplication::setOrganizationName(organisation);
        QCoreApplication::setApplicationName(application);
        QApplication::setWindowIcon(icon);
    });
}

} // namespace

TEST(MainWindowReportTest, reportButtonOpensTheDialogOverTheWindowsDataAndExitKeepsTheChoices)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("tavrin.conf"));
    auto profile = std::make_unique<Profile>(ini);
    MessageLog log;
    auto dlg = std::make_unique<tavrinDlg>(*profile, log, dir.filePath(QStringLiteral("MixturesData")));
    const ReportSources& sources = dlg->Report()->Sources();
    EXPECT_EQ(sources.records, &dlg->Records());
    EXPECT_EQ(sources.calcData, &dlg->Results());
    EXPECT_EQ(sources.cylinders, &dlg->Mixtures()->Mixtures());
    EXPECT_EQ(sources.settings, &dlg->Settings());
    EXPECT_EQ(sources.log, &log);

    QPushButton* report = dlg->findChild<QPushButton*>(QStringLiteral("buttonReport"));
    ASSERT_TRUE(report && report->isEnabled());
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget();
        if (auto* modal = qobject_cast<DlgReport*>(shown)) {
            modal->findChild<QCheckBox*>(QStringLiteral("enableGdResult"))->setChecked(false);
            modal->accept();
        }
    });
    report->click();
    EXPECT_EQ(shown, dlg->Report());
    EXPECT_FALSE(profile->contains(QStringLiteral("ReportSettings"), QStringLiteral("enableGdResult")));

    dlg.reset();
    profile.reset();
    Profile stored(ini);
    EXPECT_EQ(stored.readInt(QStringLiteral("ReportSettings"), QStringLiteral("enableGdResult"), 1), 0);
    EXPECT_EQ(stored.readInt(QStringLiteral("ReportSettings"), QStringLiteral("enableGsResult"), 0), 1);
}

TEST(MainWindowReportTest, captionRowsAreThePageGridsHeadersAfterTheCountsChange)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Profile profile(dir.filePath(QStringLiteral("tavrin.conf")));
    GeneralSettings general = testsupport::laboratorySettings();
    general.SaveSettings(profile);
    ChromatogramFolders folders;
    folders.enAutoOpen = 0;
    folders.SaveSettings(profile);
    const QString mixtures = dir.filePath(QStringLiteral("MixturesData"));
    ASSERT_TRUE(testsupport::writeFileBytes(
        mixtures, WriteMixturesArchive({calc_inputs::Cylinder(MixtureKindGs, QStringLiteral("гсо-12"),
                                                              {{QStringLiteral("Метан"), 95.0}, {QStringLiteral("Этан"), 5.0}})})));
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        testsupport::ChromatogramFile file;
        file.sample = i < 3 ? QStringLiteral("Калибровка ГСО-12") : QStringLiteral("ГС скв. 41");
        file.method = QStringLiteral("ГАЗ-1");
        file.calibration = i < 3;
        file.analysisTime = 1700000000 + i * 600;
        file.peaks = {testsupport::peak(0.25, 1.25, 90.0, QStringLiteral("Метан")),
                      testsupport::peak(1.5, 2.5, 4.0, QStringLiteral("Этан"))};
        paths << dir.filePath(QStringLiteral("run%1.stg").arg(i));
        ASSERT_TRUE(testsupport::writeChromatogramFile(paths.last(), file));
    }
    SaveRecentChromatograms(profile, paths);
    MessageLog log;
    tavrinDlg dlg(profile, log, mixtures);

    // OK in the settings with other counts: the pages' columns follow their rule.
    general.QtyGsCalib = general.QtyGsRegular = general.QtyDcC6C44 = general.QtyGdSss = 1;
    general.SaveSettings(profile);
    QTimer::singleShot(0, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->accept();
    });
    dlg.findChild<QPushButton*>(QStringLiteral("buttonSettings"))->click();
    ASSERT_EQ(dlg.Settings().general.QtyGsCalib, 1);

    const ResultTables& t = dlg.Tables();
    const struct {
        ReportTable table;
        int page;
        const ResultTable& shown;
    } mirrors[] = {
        {ReportTable::GsCalibration, 0, t.gs.calibration}, {ReportTable::GsAnalysis, 0, t.gs.analysis},
        {ReportTable::GsSulphur, 0, t.gs.sulphur},         {ReportTable::GsMethanol, 0, t.gs.methanol},
        {ReportTable::GdCalibration, 1, t.gd.calibration}, {ReportTable::GdAnalysis, 1, t.gd.analysis},
        {ReportTable::GdSulphur, 1, t.gd.sulphur},         {ReportTable::GdMethanol, 1, t.gd.methanol},
        {ReportTable::DcC1C5, 2, t.dc.c1c5},               {ReportTable::DcSulphur, 2, t.dc.sulphur},
        {ReportTable::DcMethanol, 2, t.dc.methanol},       {ReportTable::DcFractions, 2, t.dc.fractions},
        {ReportTable::DcGroups, 2, t.dc.groups},           {ReportTable::PgMethod1, 3, t.pg.method1},
        {ReportTable::PgSulphur, 3, t.pg.sulphur},         {ReportTable::PgMethod2, 3, t.pg.method2},
        {ReportTable::PgCompositionMethod1, 3, t.pg.compFract1}, {ReportTable::PgCompositionMethod2, 3, t.pg.compFract2},
    };
    ReportDocument report(dlg.Report()->Sources(), ReportSettings{});
    XMLWrapper frames;
    ASSERT_TRUE(frames.InitDocument());
    for (const auto& m : mirrors)
        report.AddTableFrame(frames, m.table, QStringLiteral("—"));
    const testsupport::XmlDoc framed = testsupport::ParseXml(frames.ToXml());
    for (std::size_t i = 0; i < std::size(mirrors); ++i) {
        const CGridCtrl& grid = dlg.ResultPages()[static_cast<std::size_t>(mirrors[i].page)]->TablePage(mirrors[i].shown)->m_grid;
        const QByteArray table = "/Document/calc_table[" + QByteArray::number(static_cast<int>(i) + 1) + "]";
        EXPECT_EQ(testsupport::XPathTexts(framed.get(), table + "/header_row[2]/column/label"), ColumnCaptions(grid)) << i;
        EXPECT_EQ(testsupport::XPathTexts(framed.get(), table + "/header_row[1]/column/cspan"),
                  QStringList{QString::number(grid.GetColumnCount())}) << i;
    }

    // The separator-gas tables of the whole report: five runs in the
    // calibration, three analyses in the analysis and its totals.
    XMLWrapper doc;
    ReportSettings gsOnly;
    gsOnly.enableGdResult = gsOnly.enableDcResult = gsOnly.enablePgResult = false;
    ReportDocument(dlg.Report()->Sources(), gsOnly).Build(doc);
    const testsupport::XmlDoc whole = testsupport::ParseXml(doc.ToXml());
    const CGridCtrl& calibration = dlg.ResultPages()[0]->TablePage(t.gs.calibration)->m_grid;
    const CGridCtrl& analysis = dlg.ResultPages()[0]->TablePage(t.gs.analysis)->m_grid;
    EXPECT_EQ(ColumnCaptions(calibration).mid(3, 5), QStringList({"К 1", "К 2", "К 3", "K 4", "K 5"}));
    EXPECT_EQ(testsupport::XPathTexts(whole.get(), "/Document/calc_table[1]/header_row[2]/column/label"),
              ColumnCaptions(calibration));
    EXPECT_EQ(testsupport::XPathTexts(whole.get(), "/Document/calc_table[2]/header_row[2]/column/label"),
              ColumnCaptions(analysis));
    EXPECT_EQ(testsupport::XPathCount(whole.get(), "/Document/calc_table[1]/fill_data[1]/K"), 5);
    EXPECT_EQ(testsupport::XPathCount(whole.get(), "/Document/calc_table[2]/fill_data[1]/*"), analysis.GetColumnCount());
    EXPECT_EQ(testsupport::XPathCount(whole.get(), "/Document/calc_table[2]/fill_data[last()]/conc"), 3);
}

// "Сохранить" starts in the home folder until a report is saved, then in the
// folder of the last saved report, in this run and the next.
TEST(MainWindowReportTest, saveDialogStartsAtHomeThenWhereTheLastReportWent)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString reports = dir.filePath(QStringLiteral("отчёты"));
    ASSERT_TRUE(dir.isValid() && QDir().mkpath(home) && QDir().mkpath(reports));
    const auto restoreHome = qScopeGuard([old = qgetenv("HOME")] { qputenv("HOME", old); });
    qputenv("HOME", QFile::encodeName(home));
    const auto canonical = [](const QString& folder) { return QFileInfo(folder).canonicalFilePath(); };
    QStringList startedIn;
    const auto remember = [&](QFileDialog& files) {
        startedIn << canonical(files.directory().absolutePath());
        EXPECT_NE(QFileInfo(files.selectedFiles().value(0)).fileName(), QStringLiteral("первый.html"));
    };
    MessageLog log;
    for (int run = 0; run < 2; ++run) {
        Profile profile(dir.filePath(QStringLiteral("tavrin.conf")));
        tavrinDlg window(profile, log, dir.filePath(QStringLiteral("MixturesData")));
        window.Report()->SetStylesheetPath(QStringLiteral(TAVRIN_REPORT_XSL));
        if (run == 0) {
            saveFromReportDialog(window, [&](QFileDialog& files) {
                remember(files);
                files.selectFile(reports + QStringLiteral("/первый.html"));
                static_cast<QDialog&>(files).accept();
            });
        } else {
            EXPECT_EQ(profile.readString(QStringLiteral("ReportSettings"), QStringLiteral("SaveFolder"), {}), reports);
        }
        saveFromReportDialog(window, remember);
        // One save dialog a window: a new one a save leaves its icons in Qt's cache.
        EXPECT_EQ(window.Report()->findChildren<QFileDialog*>().size(), 1);
    }
    EXPECT_TRUE(QFileInfo::exists(reports + QStringLiteral("/первый.html")));
    EXPECT_EQ(startedIn, QStringList({canonical(home), canonical(reports), canonical(reports)}));
}

// The dialogs the window keeps open centred over it every time, follow it
// when it has moved, and stay on the screen when it stands half off it.
TEST(MainWindowReportTest, dialogsOpenAtTheSamePlaceOverTheWindowEveryTime)
{
    QTemporaryDir dir;
    Profile profile(dir.filePath(QStringLiteral("tavrin.conf")));
    MessageLog log;
    tavrinDlg window(profile, log, dir.filePath(QStringLiteral("MixturesData")));
    window.show();
    const QRect room = window.screen()->availableGeometry();
    for (const char* button : {"buttonReport", "buttonComponents", "buttonMixtures"}) {
        SCOPED_TRACE(button);
        const auto open = [&window, button] {
            QRect shown;
            QTimer::singleShot(0, [&shown] {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    shown = dialog->geometry();
                    dialog->reject();
                }
            });
            window.findChild<QPushButton*>(QString::fromLatin1(button))->click();
            return shown;
        };
        QRect middle = window.geometry();
        middle.moveCenter(room.center());
        window.setGeometry(middle);
        const QRect first = open();
        EXPECT_EQ(first.center(), window.geometry().center());
        EXPECT_EQ(open(), first);
        window.move(window.pos() + QPoint(30, 20));
        EXPECT_EQ(open(), first.translated(30, 20));

        QRect past = window.geometry();
        past.moveCenter(room.bottomRight());
        window.setGeometry(past);
        const QRect clamped = open();
        EXPECT_EQ(clamped.right(), room.right());
        EXPECT_EQ(clamped.bottom(), room.bottom());
        EXPECT_EQ(clamped.size(), first.size());
    }
}

// Qt's own texts, of the message boxes and of the save dialog, are Russian
// whatever the locale, once the program's set-up has returned. Every window
// then shows the program's icon, and the About box shows it as its logo.
TEST(QtTranslationsTest, qtsOwnButtonsReadRussianWhateverTheLocale)
{
    const auto restore = undoSetUpAtEnd();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SetUpApplication();

    const QImage icon = QImage(QStringLiteral(":/tavrin.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(QWidget().windowIcon().pixmap(icon.size()).toImage().convertToFormat(QImage::Format_ARGB32), icon);
    EXPECT_FALSE(CAboutDlg().findChild<QLabel*>(QStringLiteral("labelLogo"))->pixmap().isNull());

    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + QStringLiteral("/qtbase_ru.qm")))
        GTEST_SKIP() << "no qtbase_ru.qm in " << folder.toStdString() << "; scripts/setup.sh installs it";

    QMessageBox box(QMessageBox::Warning, QStringLiteral("Отчёт"), QStringLiteral("Отчёт не сохранён."),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
    box.show();
    testsupport::saveScreenshotIfAsked(box.grab(), QStringLiteral("message_box.png"));

    QTemporaryDir dir;
    Profile profile(dir.filePath(QStringLiteral("tavrin.conf")));
    MessageLog log;
    tavrinDlg window(profile, log, dir.filePath(QStringLiteral("MixturesData")));
    QString cancel;
    saveFromReportDialog(window, [&cancel](QFileDialog& files) {
        cancel = files.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text();
        testsupport::saveScreenshotIfAsked(files.grab(), QStringLiteral("save_dialog.png"));
    });
    EXPECT_EQ(cancel, QStringLiteral("Отмена"));
}

// Set up as the program is, the allocator keeps no large freed block after
// one the size of a report's graph image was freed: the next is mapped on
// its own and given back at its free, so no reading thread's arena grows
// with them over a day.
TEST(MainWindowReportTest, largeBlocksAreGivenBackAfterAGraphImageWasFreed)
{
#if !defined(__GLIBC__) || defined(TAVRIN_TEST_ASAN)
    GTEST_SKIP() << "only glibc's allocator keeps them";
#else
    const auto restore = undoSetUpAtEnd();
    SetUpApplication();
    // Larger than all the free memory the allocator holds, so no freed block serves it.
    const std::size_t size = mallinfo2().fordblks + (std::size_t{1} << 20);
    // Through a volatile pointer, so the compiler keeps the allocations.
    static void* volatile block = nullptr;
    block = std::malloc(size + 1000 * 1000 * 4);
    std::free(block);
    const std::size_t mapped = mallinfo2().hblkhd;
    block = std::malloc(size);
    ASSERT_NE(block, nullptr);
    EXPECT_GE(mallinfo2().hblkhd, mapped + size);
    std::free(block);
    EXPECT_EQ(mallinfo2().hblkhd, mapped);
#endif
}

// Set up as the program is, a process whose report passes a file-size limit
// is not ended by the system: "Сохранить" and "Просмотр" name the system's
// reason, leave the old report and the temporary folder as they were, and
// the window stays.
TEST(MainWindowReportTest, aFileSizeLimitFailsTheReportAndTheWindowStays)
{
    // Left at its default by the test program, the signal would end this
    // test but for the program's own set-up.
    ASSERT_EQ(fileSizeSignal().sa_handler, SIG_DFL);
    const auto restore = undoSetUpAtEnd();
    SetUpApplication();
    QTemporaryDir dir;
    const QString tmp = dir.filePath(QStringLiteral("tmp"));
    const QString page = dir.filePath(QStringLiteral("отчёт.html"));
    ASSERT_TRUE(dir.isValid() && QDir().mkdir(tmp) && testsupport::writeFileBytes(page, "old page"));
    const auto restoreTmp = qScopeGuard([old = qgetenv("TMPDIR")] { qputenv("TMPDIR", old); });
    qputenv("TMPDIR", QFile::encodeName(tmp));
    Profile profile(dir.filePath(QStringLiteral("tavrin.conf")));
    MessageLog log;
    tavrinDlg window(profile, log, dir.filePath(QStringLiteral("MixturesData")));
    window.show();
    DlgReport& report = *window.Report();
    report.SetStylesheetPath(QStringLiteral(TAVRIN_REPORT_XSL));
    report.saveFileNameHook = [&page](QWidget*, const QString&) { return page; };
    QStringList boxes, opened;
    report.errorBoxHook = [&boxes](const QString&, const QString& text) { boxes << text; };
    report.openFileHook = [&opened](const QString& path) { return opened << path, true; };
    report.show();
    {
        testsupport::FileSizeLimit disk(512);
        ASSERT_TRUE(disk.active());
        for (const char* button : {"buttonSave", "buttonView"})
            report.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }
    ASSERT_EQ(boxes.size(), 2);
    for (const QString& box : boxes)
        EXPECT_TRUE(box.endsWith(QStringLiteral("\n\n") + AsSentence(qt_error_string(EFBIG)))) << box.toStdString();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(testsupport::readFileBytes(page), QByteArray("old page"));
    EXPECT_EQ(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    EXPECT_TRUE(window.isVisible() && report.isVisible());
}
