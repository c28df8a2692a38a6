// A laboratory's day on the main window, for the resident size it leaves:
// on the sample set, 300 cycles of "Добавить" of one file, "Удалить" of it
// and "Пересчитать", with "Просмотр" of the report every third cycle. The
// resident size is printed at cycles 20, 100, 200 and 300; freed memory the
// allocator keeps shows as growth between them. A measurement, not a test:
//     QT_QPA_PLATFORM=offscreen tavrin_memory_day

#include "app/TavrinApp.h"
#include "app/TavrinDlg.h"
#include "data/MessageLog.h"
#include "platform/Profile.h"
#include "sampleset/SampleSet.h"
#include "ui/DlgReport.h"
#include "ui/GridCtrl.h"
#include "ui/OpenChrmDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

// The file added and removed, one analysis of three; the others keep the calculation whole.
const QString kCycledFile = QStringLiteral("gs_analysis_3");

// From the system's own account of the process; 0 where there is none.
double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;  // in kB
    }
    return 0.0;
}

void press(tavrinDlg& window, const char* name)
{
    window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

// Presses the button and answers the modal dialog it runs once it shows.
void pressAndAnswer(tavrinDlg& window, const char* name, std::function<void(QDialog&)> answer)
{
    QTimer::singleShot(0, [answer] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            answer(*modal);
    });
    press(window, name);
}

int listedRow(tavrinDlg& window, const QString& fileName)
{
    CGridCtrl* list = window.ChromatogramList();
    for (int r = 0; r < list->GetItemCount(); ++r) {
        if (list->GetItemText(r, 1) == fileName)
            return r;
    }
    return -1;
}

void selectRow(tavrinDlg& window, int row)
{
    CGridCtrl* list = window.ChromatogramList();
    list->clearSelection();
    list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// One cycle; false when the window did not do what the buttons ask.
bool cycle(tavrinDlg& window, bool viewReport)
{
    const std::size_t listed = window.Records().size();
    // First, so that every cycle ends with the calculation.
    if (viewReport) {
        pressAndAnswer(window, "buttonReport", [](QDialog& report) {
            if (auto* view = report.findChild<QPushButton*>(QStringLiteral("buttonView")))
                view->click();
            report.reject();
        });
    }
    pressAndAnswer(window, "buttonAdd", [](QDialog& opening) {
        auto* dialog = qobject_cast<COpenChrmDlg*>(&opening);
        if (!dialog) {
            opening.reject();
            return;
        }
        for (QTreeWidgetItem* row : dialog->List()->findItems(kCycledFile, Qt::MatchExactly, 2))
            row->setSelected(true);
        dialog->accept();
    });
    const int row = listedRow(window, kCycledFile + QStringLiteral(".stg"));
    if (window.Records().size() != listed + 1 || row < 0)
        return false;
    selectRow(window, row);
    press(window, "buttonDelete");
    press(window, "buttonRecalc");
    if (window.Records().size() != listed)
        return false;

    // What the window left to delete later goes now, as the event loop would.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program starts, the allocator's settings included.
    SetUpApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);

    QTemporaryDir dir;
    sampleset::WrittenSet set;
    QString error;
    if (!dir.isValid() || !sampleset::WriteSampleSet(dir.filePath(QStringLiteral("set")), &set, &error)) {
        err << "cannot write the sample set: " << error << '\n';
        return 1;
    }
    // The viewed reports and the opening dialog's settings stay in the folder.
    QDir(dir.path()).mkpath(QStringLiteral("tmp"));
    qputenv("TMPDIR", QFile::encodeName(dir.filePath(QStringLiteral("tmp"))));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("user")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir.filePath(QStringLiteral("machine")));
    const QString stgFolder = QDir(set.folder).filePath(sampleset::ChromatogramFolderName());
    Profile(ProfileScope::System, QStringLiteral("Quindle"), QStringLiteral("Morvane"))
        .writeString(QString(), QStringLiteral("OpenPath"), set.folder);
    Profile(ProfileScope::User, QStringLiteral("Quindle"), QStringLiteral("Morvane"))
        .writeString(QString(), QStringLiteral("LastOpenPath2"), stgFolder);

    Profile profile(set.profilePath);
    MessageLog log;
    tavrinDlg window(profile, log, set.mixturesPath);
    window.Report()->SetStylesheetPath(QStringLiteral(TAVRIN_REPORT_XSL));
    int views = 0;
    QString failure;
    window.Report()->openFileHook = [&views](const QString&) { return ++views, true; };
    const auto keepFailure = [&failure](const QString& caption, const QString& text) { failure = caption + ": " + text; };
    window.Report()->errorBoxHook = keepFailure;
    window.errorBoxHook = keepFailure;
    window.show();
    QCoreApplication::processEvents();

    // The day starts without the cycled file.
    const int row = listedRow(window, kCycledFile + QStringLiteral(".stg"));
    if (row < 0) {
        err << "the sample set lists no " << kCycledFile << '\n';
        return 1;
    }
    selectRow(window, row);
    press(window, "buttonDelete");

    out << "cycle  resident, MB\n";
    for (int c = 1; c <= 300; ++c) {
        const bool viewReport = c % 3 == 0;
        const int viewed = views;
        if (!cycle(window, viewReport) || !failure.isEmpty() || views != viewed + (viewReport ? 1 : 0)) {
            err << "cycle " << c << ": the window did not add, remove and view as asked. " << failure << '\n';
            return 1;
        }
        if (c == 20 || c == 100 || c == 200 || c == 300)
            out << qSetFieldWidth(5) << c << qSetFieldWidth(0) << "  " << QString::number(residentMegabytes(), 'f', 1)
                << Qt::endl;
    }
    return 0;
}
