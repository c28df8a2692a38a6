#include <gtest/gtest.h>

#include "calc/CalcData.h"
#include "data/ChromatogramSlot.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "platform/Profile.h"
#include "platform/SaveFile.h"
#include "report/ReportTransform.h"
#include "support/CalcInputs.h"
#include "support/FakeGraphImage.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ProfileDir.h"
#include "support/QtRussianTexts.h"
#include "support/Screenshot.h"
#include "support/SmallTmpfs.h"
#include "support/StandInOpener.h"
#include "support/WithoutFileRights.h"
#include "support/XmlTree.h"
#include "ui/DlgReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

const char* const kBoxes[] = {"enableAssayList", "enableMixtureList", "enableGsResult", "enableGdResult",
                              "enableDcResult",  "enablePgResult",    "enableSystemMsgs"};

class DlgReportTest : public testsupport::ProfileDirTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        // Viewed reports go to a temporary folder of this test's own.
        oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        ChromatogramRecord r;
        r.sample = QStringLiteral("ГС-1 проба");
        r.role = SlotGsAnalysis1;
        r.samplingPoint = QStringLiteral("Скв. 7");
        records.push_back(r);
    }
    void TearDown() override { oldTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTmp); }

    std::unique_ptr<DlgReport> open()
    {
        auto dlg = std::make_unique<DlgReport>(profile);
        dlg->SetSources({&settings, &records, nullptr, nullptr, nullptr, nullptr});
        dlg->SetStylesheetPath(QStringLiteral(TAVRIN_REPORT_XSL));
        dlg->openFileHook = [this](const QString& path) { return opened << path, true; };
        dlg->saveFileNameHook = [this](QWidget*, const QString& name) { return proposed << name, saveAs; };
        dlg->errorBoxHook = [this](const QString& caption, const QString& text) { errors << caption << text; };
        dlg->show();
        return dlg;
    }
    template <typename T = QCheckBox>
    static T* child(QWidget* dlg, const char* name)
    {
        // A misspelt name fails the test instead of crashing it.
        if (T* w = dlg->findChild<T*>(QString::fromLatin1(name)))
            return w;
        throw std::runtime_error(std::string("no control ") + name);
    }
    static QLineEdit* edit(QWidget* dlg, const char* name) { return child<QLineEdit>(dlg, name); }
    static void click(QWidget* dlg, const char* name) { child<QPushButton>(dlg, name)->click(); }
    QString page(int i) const
    {
        QFile f(opened.value(i));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QStringList tempFiles() const { return QDir(temp.path()).entryList(QDir::Files); }
    // Everything below the test's folder, each file with its permissions and a
    // digest of its bytes.
    QStringList everything() const
    {
        QStringList found;
        // System: a link that leads nowhere is listed too.
        for (QDirIterator it(temp.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            const QByteArray digest =
                QCryptographicHash::hash(testsupport::readFileBytes(path), QCryptographicHash::Md5).toHex();
            found << QDir(temp.path()).relativeFilePath(path)
                         + (it.fileInfo().isDir() ? QStringLiteral("/") : QStringLiteral(" ") + digest)
                         + QStringLiteral(" %1").arg(int(it.fileInfo().permissions()), 0, 16);
        }
        found.sort();
        return found;
    }
    // Results whose calibration curve has points, so that a report has a graph.
    const CalcData* curveResults()
    {
        if (data.GetCalibrationCurve().rows.empty()) {
            data.SetReferenceTables(tables.gas, tables.temp);
            const QString c = QString(QChar(0x0421));  // Cyrillic С
            const std::vector<ChromatogramRecord> markers = {calc_inputs::Record(
                SlotDcTemperature, QStringLiteral("/lab/t.stg"), {{c + "6"}, {c + "7"}, {c + "8"}})};
            MessageLog log;
            data.Recalculate(nullptr, &markers, &settings, log);
        }
        return &data;
    }

    QTemporaryDir temp;
    QByteArray oldTmp;
    Profile profile{iniPath()};
    CSettings settings;
    std::vector<ChromatogramRecord> records;
    QStringList opened, proposed, errors;
    QString saveAs;
    calc_inputs::ReferenceTables tables;
    CalcData data;
    testsupport::FakeGraphImage image;
};

} // namespace

TEST_F(DlgReportTest, firstRunShowsEmptyFieldsAndEveryBoxTicked)
{
    auto dlg = open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Отчёт"));
    EXPECT_EQ(edit(dlg.get(), "deviceNumber")->text() + edit(dlg.get(), "operator")->text(), QString());
    QStringList captions;
    for (const char* name : kBoxes) {
        EXPECT_TRUE(child(dlg.get(), name)->isChecked()) << name;
        captions << child(dlg.get(), name)->text();
    }
    EXPECT_EQ(captions, QStringList({"Список хроматограмм", "Список смесей", "Газ сепарации", "Газ дегазации",
                                     "Дегазированный конденсат", "Пластовый газ", "Системные сообщения"}));
    QStringList texts{dlg->findChild<QGroupBox*>()->title()};
    for (QLabel* label : dlg->findChildren<QLabel*>())
        texts << label->text();
    for (QPushButton* button : dlg->findChildren<QPushButton*>()) {
        texts << button->text();
        EXPECT_FALSE(button->isDefault() || button->autoDefault());
    }
    EXPECT_EQ(texts, QStringList({"Настройка содержимого отчета", "Номер прибора:", "Оператор:", "Просмотр",
                                  "Сохранить", "Отмена"}));
    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("dlg_report.png"));
}

TEST_F(DlgReportTest, cancelAndEscapeDropWhatWasChanged)
{
    auto dlg = open();
    for (bool escape : {false, true}) {
        dlg->show();
        child(dlg.get(), "enableGdResult")->setChecked(false);
        edit(dlg.get(), "operator")->setText(QStringLiteral("Сидоров"));
        if (escape)
            QTest::keyClick(dlg.get(), Qt::Key_Escape);
        else
            click(dlg.get(), "buttonCancel");
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_TRUE(dlg->Fields().enableGdResult);
        dlg->show();
        EXPECT_TRUE(child(dlg.get(), "enableGdResult")->isChecked());
        EXPECT_EQ(edit(dlg.get(), "operator")->text(), QString());
    }
}

TEST_F(DlgReportTest, viewTakesTheControlsAndOpensAFreshPageEachTime)
{
    auto dlg = open();
    edit(dlg.get(), "deviceNumber")->setText(QStringLiteral("ХГ-7 <b>&x</b>"));
    child(dlg.get(), "enableAssayList")->setChecked(false);
    click(dlg.get(), "buttonView");
    child(dlg.get(), "enableAssayList")->setChecked(true);
    click(dlg.get(), "buttonView");
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(opened.size(), 2);
    EXPECT_NE(opened[0], opened[1]);
    EXPECT_EQ(tempFiles().size(), 2);
    EXPECT_TRUE(page(0).contains(QStringLiteral("ХГ-7 &lt;b&gt;&amp;x&lt;/b&gt;")));
    EXPECT_TRUE(page(0).contains(QStringLiteral("Скв. 7")));
    EXPECT_FALSE(page(0).contains(QStringLiteral("ГС-1 проба")));
    EXPECT_TRUE(page(1).contains(QStringLiteral("ГС-1 проба")));
    EXPECT_EQ(dlg->Fields().deviceNumber, QStringLiteral("ХГ-7 <b>&x</b>"));
    EXPECT_TRUE(proposed.isEmpty());

    // A page no application opens, or whose opener does not start, is named
    // in a box and stays; nobody waits for the opener meanwhile.
    dlg->openFileHook = nullptr;
    const std::pair<std::optional<QByteArray>, QString> openers[] = {
        {"exit 4", QStringLiteral("Ни одно приложение не смогло открыть отчёт\n")},
        {std::nullopt, QStringLiteral("Не удалось открыть отчёт\n")}};
    for (const auto& [ending, head] : openers) {
        errors.clear();
        const qsizetype pages = tempFiles().size();
        testsupport::StandInOpener opener(ending);
        ASSERT_TRUE(opener.ready());
        click(dlg.get(), "buttonView");
        if (ending) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.files().isEmpty(); }, 20000));
            EXPECT_TRUE(errors.isEmpty());
            ASSERT_TRUE(opener.release());
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 20000));
        const QString page = errors.value(1).mid(head.size());
        EXPECT_EQ(errors, QStringList({QStringLiteral("Отчёт"), head + page}));
        EXPECT_TRUE(page.startsWith(temp.path()) && QFileInfo(page).isFile()) << page.toStdString();
        EXPECT_EQ(tempFiles().size(), pages + 1);
        if (ending) {
            EXPECT_EQ(opener.files(), QStringList{page});
        }
    }
}

TEST_F(DlgReportTest, saveWritesWhereTheOperatorSaysAndNothingWithoutAName)
{
    auto dlg = open();
    EXPECT_FALSE(dlg->BuildReport(true));
    EXPECT_TRUE(tempFiles().isEmpty());
    saveAs = temp.filePath(QStringLiteral("отчёт.html"));
    click(dlg.get(), "buttonSave");
    ASSERT_EQ(proposed.size(), 2);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^ReportVorn_\\d{7,8}_\\d{6}$")).match(proposed[1]).hasMatch())
        << proposed[1].toStdString();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(tempFiles(), QStringList{"отчёт.html"});
    EXPECT_TRUE(errors.isEmpty());
}

// Names of reports, like a well's, may hold a dot: the page is ".html" all
// the same, and its graph folder is named from the whole name, so each
// report keeps its own graph.
TEST_F(DlgReportTest, aNameWithADotIsSavedAsHtmlBesideAGraphOfItsOwn)
{
    auto dlg = open();
    const auto save = [&](const QString& name, const QByteArray& graph) {
        image.bytes = graph;
        dlg->SetSources({&settings, &records, nullptr, graph.isEmpty() ? nullptr : curveResults(), nullptr, nullptr, &image});
        saveAs = temp.filePath(name);
        click(dlg.get(), "buttonSave");
    };
    const QStringList names = {"ПГ скв. 1205", "ПГ скв. 1311", "Отчёт 07.12", "Отчёт.HTM"};
    for (const QString& name : names)
        save(name, name.toUtf8());
    save("Отчёт 07.11", "");
    EXPECT_EQ(tempFiles(), QStringList({"Отчёт 07.11.html", "Отчёт 07.12.html", "Отчёт.HTM", "ПГ скв. 1205.html",
                                        "ПГ скв. 1311.html"}));
    for (const QString& name : names)
        EXPECT_EQ(testsupport::readFileBytes(temp.filePath(QString(name).remove(".HTM") + "_files/FormationGasGraph.png")),
                  name.toUtf8());

    // The save dialog asks before the page typed without its ending replaces
    // an old one; "Нет" leaves it, "Да" saves over it. A name in quotes, which
    // the dialog reads as a list of names, is refused, and the dialog stays
    // for another name, saved in the folder typed.
    dlg->saveFileNameHook = nullptr;
    dlg->SetSources({&settings, &records, nullptr, curveResults(), nullptr, nullptr, &image});
    image.bytes = "new";
    ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("скв")));
    const QString retyped = temp.filePath(QStringLiteral("скв/Проба скв. 1311 итог"));
    const struct {
        QString typed;
        QMessageBox::StandardButton answer;
        QString asked;
    } rows[] = {
        {QStringLiteral("ПГ скв. 1205"), QMessageBox::No, QStringLiteral("Файл «ПГ скв. 1205.html» уже существует.")},
        {QStringLiteral("ПГ скв. 1205"), QMessageBox::Yes, QStringLiteral("Файл «ПГ скв. 1205.html» уже существует.")},
        {temp.filePath(QStringLiteral("скв/Проба \"скв. 1311\" итог")), QMessageBox::Ok,
         QStringLiteral("В имени файла не может быть кавычек (\"): здесь они разделяют несколько имён файлов. "
                        "Введите имя без кавычек.")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        QString asked;
        bool stayed = false;
        QTimer::singleShot(0, [&] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(files, nullptr);
            auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            QTimer::singleShot(0, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked = box->text();
                    box->button(row.answer)->click();
                }
            });
            name->setText(row.typed);
            name->setFocus();
            QTest::keyClick(name, Qt::Key_Return);
            stayed = files->isVisible();
            if (stayed && row.answer == QMessageBox::Ok) {
                name->setText(retyped);
                QTest::keyClick(name, Qt::Key_Return);
            }
            if (files->isVisible())
                files->reject();
        });
        click(dlg.get(), "buttonSave");
        EXPECT_EQ(asked.split(QLatin1Char('\n')).value(0), row.asked);
        EXPECT_EQ(stayed, row.answer != QMessageBox::Yes);
        if (row.answer != QMessageBox::Ok) {
            EXPECT_EQ(testsupport::readFileBytes(temp.filePath(QStringLiteral("ПГ скв. 1205_files/FormationGasGraph.png"))),
                      row.answer == QMessageBox::Yes ? "new" : "ПГ скв. 1205");
        }
    }
    EXPECT_EQ(QDir(temp.filePath(QStringLiteral("скв"))).entryList(QDir::Files),
              QStringList({"Проба скв. 1311 итог.html"}));
    EXPECT_FALSE(QFile::exists(temp.filePath(QStringLiteral("скв. 1311.html"))));
    EXPECT_EQ(errors, QStringList());
}

TEST_F(DlgReportTest, failedSaveSaysWhereAndWhy)
{
    const QString badXsl = temp.filePath(QStringLiteral("bad.xsl"));
    QFile bad(badXsl);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
              "<xsl:template match=\"/\"><xsl:message terminate=\"yes\">стоп</xsl:message></xsl:template>"
              "</xsl:stylesheet>");
    bad.close();
    const struct {
        const char* what;
        QString stylesheet;
        QString target;
        QString reason;  // a part of the text that says why
    } cases[] = {
        {"no stylesheet", temp.filePath(QStringLiteral("absent/Report.xsl")), temp.filePath(QStringLiteral("a.html")),
         QDir::toNativeSeparators(temp.filePath(QStringLiteral("absent/Report.xsl")))},
        {"a stylesheet that stops", badXsl, temp.filePath(QStringLiteral("b.html")), QStringLiteral("стоп")},
        {"a folder that does not exist", QStringLiteral(TAVRIN_REPORT_XSL), temp.filePath(QStringLiteral("нет/c.html")),
         QString()},
    };
    auto dlg = open();
    for (const auto& c : cases) {
        errors.clear();
        dlg->SetStylesheetPath(c.stylesheet);
        saveAs = c.target;
        click(dlg.get(), "buttonSave");
        ASSERT_EQ(errors.size(), 2) << c.what;
        EXPECT_EQ(errors[0], QStringLiteral("Отчёт"));
        EXPECT_TRUE(errors[1].contains(QDir::toNativeSeparators(c.target))) << errors[1].toStdString();
        EXPECT_TRUE(errors[1].contains(c.reason)) << errors[1].toStdString();
        // Below the path there is always a reason.
        EXPECT_GT(errors[1].section(QDir::toNativeSeparators(c.target), 1).trimmed().size(), 0) << c.what;
        EXPECT_FALSE(QFile::exists(c.target)) << c.what;
        EXPECT_TRUE(dlg->isVisible());
    }
    EXPECT_EQ(tempFiles(), QStringList{"bad.xsl"});

    // The dialog is still usable: with the stylesheet back, the report is saved.
    errors.clear();
    dlg->SetStylesheetPath(QStringLiteral(TAVRIN_REPORT_XSL));
    saveAs = temp.filePath(QStringLiteral("d.html"));
    click(dlg.get(), "buttonSave");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(QFile::exists(saveAs));
}

TEST_F(DlgReportTest, enterOnAButtonPressesItAndElsewhereClosesAsOk)
{
    auto dlg = open();
    QPushButton* view = child<QPushButton>(dlg.get(), "buttonView");
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(dlg->isVisible());

    QLineEdit* device = edit(dlg.get(), "deviceNumber");
    device->setText(QStringLiteral("ХГ-10"));
    child(dlg.get(), "enablePgResult")->setChecked(false);
    device->setFocus();
    QTest::keyClick(device, Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->Fields().deviceNumber, QStringLiteral("ХГ-10"));
    EXPECT_FALSE(dlg->Fields().enablePgResult);
    EXPECT_EQ(opened.size(), 1);

    // The fields reach the profile when the dialog goes, and come back.
    EXPECT_FALSE(profile.contains(QStringLiteral("ReportSettings"), QStringLiteral("DeviceNumber")));
    dlg.reset();
    auto again = open();
    EXPECT_EQ(edit(again.get(), "deviceNumber")->text(), QStringLiteral("ХГ-10"));
    EXPECT_FALSE(child(again.get(), "enablePgResult")->isChecked());
}

TEST_F(DlgReportTest, graphOfViewAndSaveIsA1000SquareImageThatThePageShows)
{
    ASSERT_EQ(curveResults()->GetCalibrationCurve().rows.size(), 3u);

    auto dlg = open();
    dlg->SetSources({&settings, &records, nullptr, curveResults(), nullptr, nullptr});
    click(dlg.get(), "buttonView");
    saveAs = temp.filePath(QStringLiteral("отчёт #1.html"));
    click(dlg.get(), "buttonSave");
    ASSERT_EQ(opened.size(), 1);
    QStringList images;
    for (const QString& page : {opened[0], saveAs}) {
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
        const testsupport::XmlDoc html = testsupport::ParseXml(file.readAll());
        const QStringList src = testsupport::XPathTexts(html.get(), "//h:img/@src");
        ASSERT_EQ(src.size(), 1);
        images << QUrl::fromLocalFile(page).resolved(QUrl(src[0])).toLocalFile();
        EXPECT_EQ(QImage(images.last()).size(), QSize(1000, 1000)) << src[0].toStdString();
    }
    // The viewed report's image stays in a temporary folder of its own; the
    // saved one's beside the report.
    EXPECT_EQ(QFileInfo(images[0]).dir().dirName().left(3), QStringLiteral("zqv"));
    EXPECT_EQ(images[1], temp.filePath(QStringLiteral("отчёт #1_files/FormationGasGraph.png")));

    // A report that is not written leaves no graph behind.
    const QStringList before = everything();
    dlg->SetStylesheetPath(temp.filePath(QStringLiteral("absent/Report.xsl")));
    saveAs = temp.filePath(QStringLiteral("другой.html"));
    click(dlg.get(), "buttonView");
    click(dlg.get(), "buttonSave");
    const QStringList after = everything();
    EXPECT_EQ(after, before);
    EXPECT_EQ(opened.size(), 1);
}

// Each fault strikes a fresh name and one with an old page and graph, also
// where hard links are refused; the folder must come through byte for byte,
// with no temporary and no new "<name>_files" left, and the box must give
// the cause. Qt's texts are in Russian, as in the program.
TEST_F(DlgReportTest, failedSaveLeavesAnOldReportAndItsGraphAsTheyWere)
{
    const testsupport::QtRussianTexts russian;
    enum Fault {
        NoStylesheet, PageNotWritten, PageNotPutInPlace, ImageNotWritten, GraphNotWritten, GraphNotPutInPlace,
        FileInPlaceOfGraphFolder, LinkToFileInPlaceOfGraphFolder, LinkToNowhereInPlaceOfGraphFolder,
        LinkToNowhereAsOldGraph
    };
    const struct {
        const char* what;
        Fault fault;
        QString reason;  // a part of the text that says why; %1 the graph folder
    } cases[] = {
        {"no stylesheet", NoStylesheet, "absent"},
        {"page not written (disk full)", PageNotWritten, qt_error_string(EFBIG)},
        {"page not put in place (a folder of its name)", PageNotPutInPlace, qt_error_string(EISDIR)},
        {"image not written", ImageNotWritten, "%1/FormationGasGraph.png не записано: отказ"},
        {"graph not written (disk full)", GraphNotWritten, "%1/FormationGasGraph.png не записано: " + qt_error_string(EFBIG)},
        {"graph not put in place (a folder of its name)", GraphNotPutInPlace, qt_error_string(EISDIR)},
        {"a file in place of the graph folder", FileInPlaceOfGraphFolder, "%1 не создаётся: на её месте файл"},
        {"a link to a file in place of the graph folder", LinkToFileInPlaceOfGraphFolder,
         "%1 не создаётся: на её месте файл"},
        {"a link to nowhere in place of the graph folder", LinkToNowhereInPlaceOfGraphFolder,
         "%1 не создаётся: на её месте ссылка, которая никуда не ведёт"},
        // The new graph stood in place before the page failed; the link comes back.
        {"a link to nowhere as the old graph, page not put in place", LinkToNowhereAsOldGraph, qt_error_string(EISDIR)},
    };
    auto dlg = open();
    dlg->SetSources({&settings, &records, nullptr, curveResults(), nullptr, nullptr, &image});
    constexpr rlim_t kDiskRoom = 1024;
    const auto entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;

    // A save replaces both files of an old report and keeps the page's
    // permissions, also under the longest name whose folder the system holds.
    QStringList saved;
    for (const QString& stem : {QStringLiteral("старый"), QString(124, QChar(0x044F)) + QLatin1Char('a')}) {
        const QString page = temp.filePath(stem + QStringLiteral(".html"));
        const QString graph = temp.filePath(stem + QStringLiteral("_files/FormationGasGraph.png"));
        saved << QFileInfo(page).fileName() << QFileInfo(graph).dir().dirName();
        saveAs = page;
        image.bytes = "first graph";
        click(dlg.get(), "buttonSave");
        EXPECT_EQ(errors, QStringList());
        EXPECT_EQ(testsupport::readFileBytes(graph), QByteArray("first graph"));
        ASSERT_TRUE(testsupport::writeFileBytes(page, "old page") && testsupport::writeFileBytes(graph, "old graph"));
        ASSERT_TRUE(QFile::setPermissions(page, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const QFile::Permissions mode = QFile::permissions(page);
        image.bytes = "new graph";
        click(dlg.get(), "buttonSave");
        EXPECT_EQ(errors, QStringList());
        EXPECT_GT(testsupport::readFileBytes(page).size(), qsizetype(kDiskRoom));
        EXPECT_EQ(testsupport::readFileBytes(graph), QByteArray("new graph"));
        EXPECT_EQ(QFile::permissions(page), mode);
        EXPECT_EQ(QFileInfo(graph).dir().entryList(entries), QStringList{"FormationGasGraph.png"});
    }
    saved.sort();
    EXPECT_EQ(QDir(temp.path()).entryList(entries), saved);

    int n = 0;
    const auto links = qScopeGuard([] { SetHardLinksRefused(false); });
    for (const auto& c : cases) {
        for (int run : {0, 1, 2, 3}) {
            const bool old = run % 2, refused = run / 2;
            SCOPED_TRACE(std::string(c.what) + (old ? ", over an old report" : ", a new report")
                         + (refused ? ", hard links refused" : ""));
            SetHardLinksRefused(refused);
            const QString name = QStringLiteral("r%1").arg(++n);
            saveAs = temp.filePath(name + QStringLiteral(".html"));
            const QString folder = temp.filePath(name + QStringLiteral("_files"));
            if (c.fault == PageNotPutInPlace || c.fault == LinkToNowhereAsOldGraph) {
                ASSERT_TRUE(QDir().mkdir(saveAs));
            } else if (old) {
                ASSERT_TRUE(testsupport::writeFileBytes(saveAs, "old page"));
            }
            if (c.fault == FileInPlaceOfGraphFolder) {
                ASSERT_TRUE(testsupport::writeFileBytes(folder, "a file"));
            } else if (c.fault == LinkToFileInPlaceOfGraphFolder) {
                ASSERT_TRUE(testsupport::writeFileBytes(folder + ".target", "a file"));
                ASSERT_TRUE(QFile::link(folder + ".target", folder));
            } else if (c.fault == LinkToNowhereInPlaceOfGraphFolder) {
                ASSERT_TRUE(QFile::link(temp.filePath(QStringLiteral("nowhere")), folder));
            } else if (c.fault == LinkToNowhereAsOldGraph) {
                ASSERT_TRUE(QDir().mkdir(folder));
                ASSERT_TRUE(QFile::link(temp.filePath(QStringLiteral("nowhere")), folder + "/FormationGasGraph.png"));
            } else if (c.fault == GraphNotPutInPlace) {
                ASSERT_TRUE(QDir().mkpath(folder + "/FormationGasGraph.png"));
            } else if (old) {
                // Not the permissions a new file gets, which a copy kept aside must keep too.
                ASSERT_TRUE(testsupport::writeFileBytes(folder + "/FormationGasGraph.png", "old graph")
                            && QFile::setPermissions(folder + "/FormationGasGraph.png", QFile::ReadOwner | QFile::WriteOwner));
            }
            dlg->SetStylesheetPath(c.fault == NoStylesheet ? temp.filePath(QStringLiteral("absent/Report.xsl"))
                                                           : QStringLiteral(TAVRIN_REPORT_XSL));
            // The program's own painter, whose image is larger than the disk's room.
            dlg->SetSources({&settings, &records, nullptr, curveResults(), nullptr, nullptr,
                             c.fault == GraphNotWritten ? nullptr : &image});
            image.fail = c.fault == ImageNotWritten;
            errors.clear();
            const QStringList before = everything();
            {
                std::optional<testsupport::FileSizeLimit> disk;
                if (c.fault == PageNotWritten || c.fault == GraphNotWritten) {
                    ASSERT_TRUE(disk.emplace(kDiskRoom).active());
                }
                click(dlg.get(), "buttonSave");
            }
            EXPECT_EQ(everything(), before);
            ASSERT_EQ(errors.size(), 2);
            const QString head = QStringLiteral("Отчёт не сохранён в файл\n") + QDir::toNativeSeparators(saveAs);
            EXPECT_TRUE(errors[1].startsWith(head)) << errors[1].toStdString();
            const QString reason = errors[1].section(QStringLiteral("\n\n"), 1);
            EXPECT_TRUE(reason.contains(QDir::toNativeSeparators(QString(c.reason).replace("%1", folder))))
                << reason.toStdString();
            // A sentence of its own, never Qt's word for a cause it does not know.
            EXPECT_TRUE(reason.front().isUpper() && reason.endsWith(QLatin1Char('.'))) << reason.toStdString();
            for (const char* vague : {"Unknown error", "Неизвестная ошибка", "неизвестна"})
                EXPECT_FALSE(reason.contains(QString::fromUtf8(vague))) << reason.toStdString();
        }
    }
}

// Whatever stops it, "Просмотр" says so and leaves neither page nor graph.
// Qt's texts are in Russian, as in the program.
TEST_F(DlgReportTest, failedViewSaysWhyAndLeavesNothing)
{
    const testsupport::QtRussianTexts russian;
    // From TmpIsAFile on, the page's file is not made either.
    enum Fault { None, ImageFails, DiskFull, TmpForThePage, TmpForTheReservation, TmpIsAFile, TmpMissing, TmpReadOnly };
    const QString xsl = temp.filePath(QStringLiteral("style.xsl"));
    const QByteArray ours = testsupport::readFileBytes(QStringLiteral(TAVRIN_REPORT_XSL));
    const QString tmpSmall = temp.filePath(QStringLiteral("small"));
    const QByteArray stop = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                            "<xsl:template match=\"/\"><xsl:message terminate=\"yes\">%1</xsl:message>"
                            "</xsl:template></xsl:stylesheet>";
    const struct {
        const char* what;
        std::optional<QByteArray> stylesheet;  // none: the file is missing
        qint64 size;                           // the file made that long, when not 0
        Fault fault;
        QString reason;  // a part of the text that says why
    } cases[] = {
        {"missing", std::nullopt, 0, None, "style.xsl"},
        {"empty", QByteArray(), 0, None, "файл пуст"},
        {"not XML", "<xsl:stylesheet", 0, None, "не читается как XML"},
        {"not a stylesheet", "<html><body/></html>", 0, None, "не является таблицей стилей"},
        {"stopped by xsl:message", QByteArray(stop).replace("%1", "стоп"), 0, None, "стоп"},
        {"stopped by an empty xsl:message", QByteArray(stop).replace("%1", ""), 0, None, "причина не указана"},
        {"over the size cap", ours, kMaxStylesheetSize + 1, None, "слишком велика"},
        {"graph not written", ours, 0, ImageFails, "FormationGasGraph.png"},
        // Room for the graph, not for the page.
        {"disk full", ours, 0, DiskFull, qt_error_string(EFBIG)},
        // Inodes for the page's file, and then for the name the graph's folder is made under, but no more.
        {"no inode for the graph's folder's name", ours, 0, TmpForThePage, qt_error_string(ENOSPC)},
        {"no inode for the graph's folder", ours, 0, TmpForTheReservation,
         "Папка для графика не создаётся в " + QDir::toNativeSeparators(tmpSmall) + ": " + qt_error_string(ENOSPC) + "."},
        // The page's file cannot be made in the temporary folder.
        {"TMPDIR naming a file", ours, 0, TmpIsAFile, qt_error_string(ENOTDIR)},
        {"TMPDIR naming no folder", ours, 0, TmpMissing, qt_error_string(ENOENT)},
        {"a temporary folder without the right to write", ours, 0, TmpReadOnly, qt_error_string(EACCES)},
    };
    const QString tmpFile = temp.filePath(QStringLiteral("a file")), tmpReadOnly = temp.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(testsupport::writeFileBytes(tmpFile, "") && QDir().mkdir(tmpReadOnly) && QDir().mkdir(tmpSmall)
                && QFile::setPermissions(tmpReadOnly, QFile::ReadOwner | QFile::ExeOwner));
    int skipped = 0;
    auto dlg = open();
    dlg->SetSources({&settings, &records, nullptr, curveResults(), nullptr, nullptr, &image});
    dlg->SetStylesheetPath(xsl);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(xsl);
        if (c.stylesheet) {
            ASSERT_TRUE(testsupport::writeFileBytes(xsl, *c.stylesheet));
        }
        if (c.size) {
            ASSERT_TRUE(QFile::resize(xsl, c.size));
        }
        image.fail = c.fault == ImageFails;
        errors.clear();
        const QStringList before = everything();
        const bool small = c.fault == TmpForThePage || c.fault == TmpForTheReservation;
        const QString tmp = c.fault == TmpIsAFile    ? tmpFile
                            : c.fault == TmpMissing  ? temp.filePath(QStringLiteral("absent"))
                            : c.fault == TmpReadOnly ? tmpReadOnly
                            : small                  ? tmpSmall
                                                     : temp.path();
        // Its own root takes one inode; mounted until what is left in it is seen.
        std::optional<testsupport::SmallTmpfs> inodes;
        if (small && !inodes.emplace(QFile::encodeName(tmpSmall), c.fault == TmpForThePage ? 2 : 3).mounted()) {
            EXPECT_TRUE(inodes->refused()) << qt_error_string(inodes->error()).toStdString();
            ++skipped;
            continue;
        }
        {
            std::optional<testsupport::FileSizeLimit> disk;
            if (c.fault == DiskFull) {
                ASSERT_TRUE(disk.emplace(1024).active());
            }
            qputenv("TMPDIR", QFile::encodeName(tmp));
            const testsupport::WithoutFileRights withoutRights;
            ASSERT_TRUE(c.fault != TmpReadOnly || testsupport::accessRefused(QFile::encodeName(tmp), W_OK));
            click(dlg.get(), "buttonView");
        }
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        EXPECT_EQ(everything(), before);
        EXPECT_TRUE(opened.isEmpty());
        ASSERT_EQ(errors.size(), 2);
        EXPECT_EQ(errors[0], QStringLiteral("Отчёт"));
        const QStringList lines = errors[1].split(QLatin1Char('\n'));
        ASSERT_GE(lines.size(), 4) << errors[1].toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("Отчёт для просмотра не создан"));
        if (c.fault < TmpIsAFile) {
            EXPECT_TRUE(lines[1].startsWith(QDir::toNativeSeparators(tmp + QLatin1Char('/'))));
            EXPECT_TRUE(QRegularExpression(QStringLiteral("zqv[^/\\\\]+\\.tmp\\.html$")).match(lines[1]).hasMatch())
                << errors[1].toStdString();
        } else {
            EXPECT_EQ(lines[1], QDir::toNativeSeparators(tmp));
        }
        const QString reason = errors[1].section(QStringLiteral("\n\n"), 1);
        EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
        // A sentence: never a bare "…: " with the libraries' silence after it.
        EXPECT_TRUE(reason.front().isUpper() && reason.endsWith(QLatin1Char('.'))) << reason.toStdString();
        EXPECT_FALSE(reason.endsWith(QStringLiteral(": .")) || reason.contains(QStringLiteral("\n.")))
            << reason.toStdString();
    }
    if (skipped)
        GTEST_SKIP() << skipped << " faults need a small tmpfs, which only the right to mount can make";
}
