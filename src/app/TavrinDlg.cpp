#include "app/TavrinDlg.h"

#include "app/AboutDlg.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramList.h"
#include "data/MainDialogProfile.h"
#include "data/MessageLog.h"
#include "data/Sentence.h"
#include "platform/Profile.h"
#include "platform/Version.h"
#include "ui/DesktopOpen.h"
#include "ui/DlgComponents.h"
#include "ui/DlgMSG.h"
#include "ui/DlgMixtures.h"
#include "ui/DlgOutTable.h"
#include "ui/DlgResultTabs.h"
#include "ui/DlgReport.h"
#include "ui/DlgSettings.h"
#include "ui/EnterKey.h"
#include "ui/GridCtrl.h"
#include "ui/OpenChrmDlg.h"
#include "ui/ReadProgressDialog.h"
#include "ui/WindowPlacement.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <iterator>
#include <memory>

namespace {

// The window's size at start; it can grow but not shrink below it.
constexpr int kStartWidth = 930;
constexpr int kStartHeight = 560;
constexpr int kButtonHeight = 37;

// A column at least as wide as its heading in the font in use.
void fitHeading(CGridCtrl& grid, int column)
{
    grid.setColumnWidth(column, std::max(grid.columnWidth(column), grid.horizontalHeader()->sectionSizeHint(column)));
}

// The width a grid needs to show every column without scrolling sideways.
int widthForColumns(const CGridCtrl& grid)
{
    int width = 0;
    for (int c = 0; c < grid.columnCount(); ++c)
        width += grid.columnWidth(c);
    const QStyle* style = grid.style();
    return width + style->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
}

// At most this many unread files are named in one message box.
constexpr std::size_t kUnreadFilesShown = 10;

// The chosen files that could not be read, with the reasons, for a message box.
QString unreadFilesText(const UnreadChromatograms& unread)
{
    QString text = unread.size() == 1
                       ? QStringLiteral("Не удалось прочитать файл. В список он не добавлен.\n")
                       : QStringLiteral("Не удалось прочитать файлов: %1. В список они не добавлены.\n").arg(unread.size());
    const std::size_t shown = std::min(unread.size(), kUnreadFilesShown);
    for (std::size_t i = 0; i < shown; ++i)
        text += QStringLiteral("\n%1: %2").arg(QFileInfo(unread[i].path).fileName(), AsSentence(unread[i].reason));
    if (unread.size() > shown)
        text += QStringLiteral("\nи ещё файлов: %1.").arg(unread.size() - shown);
    return text;
}

QStringList recordPaths(const std::vector<ChromatogramRecord>& records)
{
    QStringList paths;
    for (const ChromatogramRecord& record : records)
        paths.append(record.path);
    return paths;
}

// At most this many folders or files are named in one of the start's notes.
constexpr qsizetype kNamesShown = 3;

// The folders the start's scan left out for a dot in their names.
const QString kLeftOutFolders = QStringLiteral("Чтение хроматограмм: Папки с точкой в имени при запуске не просматриваются, "
                                               "пропущено папок: %1 (%2); их хроматограммы добавляет кнопка «Добавить».");
// The saved list's runs not found where they were (moved into a dated folder,
// mostly); the note stays true once they are listed from where they are now.
const QString kMissingRuns = QStringLiteral("Чтение хроматограмм: Хроматограммы прошлого списка при запуске не найдены там, "
                                            "где были, не найдено файлов: %1 (%2); оттуда, где они теперь, их добавляет "
                                            "кнопка «Добавить».");

// One of the start's notes with the count and the first names: "«a», «b», «c» и ещё 2"; empty for none.
QString startNote(const QString& text, const QStringList& paths)
{
    if (paths.isEmpty())
        return {};
    QStringList names;
    for (qsizetype i = 0; i < std::min(paths.size(), kNamesShown); ++i)
        names.append(QStringLiteral("«%1»").arg(QFileInfo(paths[i]).fileName()));
    QString shown = names.join(QStringLiteral(", "));
    if (paths.size() > kNamesShown)
        shown += QStringLiteral(" и ещё %1").arg(paths.size() - kNamesShown);
    return text.arg(QString::number(paths.size()), shown);
}

// The paths cleaned, as the list compares them.
QSet<QString> cleanedPaths(const QStringList& paths)
{
    QSet<QString> cleaned;
    for (const QString& path : paths)
        cleaned.insert(QDir::cleanPath(path));
    return cleaned;
}

QString analysisTimeText(std::int64_t secondsSinceEpoch)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    return t.isValid() ? t.toString(QStringLiteral("dd.MM.yy  HH:mm")) : QString();
}

} // namespace

tavrinDlg::tavrinDlg(Profile& profile, MessageLog& log, const QString& mixturesPath, QWidget* parent,
                     ReadProgress readingHook)
    : QDialog(parent)
    , readProgressHook(std::move(readingHook))
    , m_profile(profile)
    , m_log(log)
    , m_settings(profile)
{
    setObjectName(QStringLiteral("tavrinDlg"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    OnInitDialog(mixturesPath);
}

tavrinDlg::~tavrinDlg()
{
    OnDestroy();
}

void tavrinDlg::OnInitDialog(const QString& mixturesPath)
{
    setWindowTitle(QStringLiteral("Ворнель   %1   Пластовый газ. Определение компонентно-фракционного состава по СТО Газпром 5.40 2011.")
                       .arg(QStringLiteral("ver. ") + GetVersionString()));

    // Building the components dialog fills the catalogues the calculations use.
    m_pDlgComponents = std::make_unique<DlgComponents>(&m_profile, this);
    m_pDlgMixtures = std::make_unique<DlgMixtures>(mixturesPath, &m_settings, this);
    m_pDlgMixtures->LoadMixtures();
    m_pDlgReport = std::make_unique<DlgReport>(m_profile, this);
    m_pDlgReport->SetSources({&m_settings, &m_records, &m_pDlgMixtures->Mixtures(), &m_calcData, &m_log, &m_reportCaptions});

    CreateButtons();
    CreateChromatogramList();
    CreateResultTabs();

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(7);
    for (QPushButton* b : {m_buttonAdd, m_buttonDelete, m_buttonDeleteAll, m_buttonOpen})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton* b : {m_buttonRecalc, m_buttonComponents, m_buttonMixtures, m_buttonSettings, m_buttonReport})
        buttons->addWidget(b);

    // The list and the tabs share the height about 3 to 7, as they grow.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(buttons);
    layout->addWidget(m_listChromatograms, 3);
    layout->addWidget(m_tabResults, 7);

    // Wide enough for every column of the list and of the peak page in the
    // font in use, which still fits a 1366 x 768 screen.
    const int margins = 2 * 8 + 8;  // the window's and the tab page's frames
    const int startWidth = std::max({kStartWidth, widthForColumns(*m_listChromatograms) + margins,
                                     widthForColumns(m_pageInfo->m_grid) + 2 * margins});
    resize(startWidth, kStartHeight);
    setMinimumSize(startWidth, kStartHeight);
    // The first focus is on the list, never on a button that deletes: Enter
    // then ends the program as OK does.
    m_listChromatograms->setFocus(Qt::OtherFocusReason);

    // A rectangle saved on a screen that is gone, or made absurd by hand,
    // must not build a window far off or larger than the screen, nor one
    // whose title bar lies above it, out of the mouse's reach. One smaller
    // than the minimum size is fitted as the window will grow it. The first
    // one, centred on the primary screen, is fitted alike, and a screen too
    // small for the start size then gets one it can hold.
    QRect first(QPoint(0, 0), size());
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        first.moveCenter(primary->availableGeometry().center());
    SetGeometryOnScreen(*this, LoadWindowState(m_profile).value_or(first));

    // A recent or found file that cannot be read is left out with a warning.
    // All the files are read together, so the folder scan uses every core.
    // A file or folder the scan cannot open by its name is warned of alike.
    const QStringList saved = LoadRecentChromatograms(m_profile);
    QStringList paths = saved;
    ListReading reading;
    QStringList leftOut;
    if (m_settings.folders.enAutoOpen == 1) {
        for (const QString& folder : m_settings.folders.folders())
            paths += CollectChromatogramPaths(folder, &reading.unread, &leftOut);
    }
    ReadProgressDialog progress(this);
    AddChromatograms(m_records, paths, m_pDlgMixtures->Mixtures(), ReadingProgress(progress), &reading);
    KeepStoppedAdding(paths, reading.leftUnread);
    // The runs of the saved list a stop left unread stay in it: the user
    // stopped a reading, not the day's list.
    const QSet<QString> savedPaths = cleanedPaths(saved);
    for (const QString& path : reading.leftUnread) {
        if (savedPaths.contains(QDir::cleanPath(path)))
            m_savedLeftUnread.append(path);
    }
    // Yesterday's runs moved into a dated folder are one note, not a warning each.
    QStringList missing;
    std::erase_if(reading.unread, [&](const UnreadChromatogram& file) {
        const bool moved = file.missing && savedPaths.contains(QDir::cleanPath(file.path));
        if (moved)
            missing.append(file.path);
        return moved;
    });
    KeepReadWarnings(reading.unread, false);
    KeepCopyWarnings(reading.copies, false);
    // Nested configured folders meet the same dated folder twice.
    leftOut.removeDuplicates();
    for (const QString& note : {startNote(kMissingRuns, missing), startNote(kLeftOutFolders, leftOut)}) {
        if (!note.isEmpty())
            m_startNotes.append(note);
    }
    RefreshChromatograms();
}

void tavrinDlg::CreateButtons()
{
    auto button = [this](const char* name, const QString& caption, int minimumWidth) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMinimumSize(minimumWidth, kButtonHeight);
        // Enter on the list ends the program, so no button may look as if
        // Enter pressed it.
        b->setAutoDefault(false);
        return b;
    };
    m_buttonAdd = button("buttonAdd", QStringLiteral("Добавить"), 74);
    m_buttonDelete = button("buttonDelete", QStringLiteral("Удалить"), 69);
    m_buttonDeleteAll = button("buttonDeleteAll", QStringLiteral("Удалить все"), 86);
    m_buttonOpen = button("buttonOpen", QStringLiteral("Открыть в ПО Morvane"), 84);
    m_buttonRecalc = button("buttonRecalc", QStringLiteral("Пересчитать"), 84);
    m_buttonComponents = button("buttonComponents", QStringLiteral("Компоненты"), 81);
    m_buttonMixtures = button("buttonMixtures", QStringLiteral("Смеси"), 80);
    m_buttonSettings = button("buttonSettings", QStringLiteral("Настройки расчёта"), 78);
    m_buttonReport = button("buttonReport", QStringLiteral("Отчёт"), 62);


    connect(m_buttonAdd, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedAdd);
    connect(m_buttonComponents, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedComponents);
    connect(m_buttonDelete, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedDelete);
    connect(m_buttonDeleteAll, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedDeleteAll);
    connect(m_buttonOpen, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedOpenInChromatographySoftware);
    connect(m_buttonRecalc, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedRecalc);
    connect(m_buttonMixtures, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedMixtures);
    connect(m_buttonSettings, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedSettings);
    connect(m_buttonReport, &QPushButton::clicked, this, &tavrinDlg::OnBnClickedReport);
}

void tavrinDlg::CreateChromatogramList()
{
    m_listChromatograms = new CGridCtrl(this);
    m_listChromatograms->setObjectName(QStringLiteral("listChromatograms"));
    m_listChromatograms->setMinimumHeight(120);
    m_listChromatograms->InsertColumn(0, QStringLiteral("№"), LVCFMT_LEFT, 35);
    m_listChromatograms->InsertColumn(1, QStringLiteral("Имя файла"), LVCFMT_LEFT, 260);
    m_listChromatograms->InsertColumn(2, QStringLiteral("Проба"), LVCFMT_LEFT, 200);
    m_listChromatograms->InsertColumn(3, QStringLiteral("Метод"), LVCFMT_LEFT, 120);
    // Wide enough for the whole time in the font in use.
    const int timeWidth = std::max(90, fontMetrics().horizontalAdvance(QStringLiteral("00.00.00  00:00")) + 12);
    m_listChromatograms->InsertColumn(4, QStringLiteral("Время анализа"), LVCFMT_LEFT, timeWidth);
    // Room for a calibration's role with its cylinder's name.
    const int typeWidth =
        std::max(180, fontMetrics().horizontalAdvance(QStringLiteral("ГС Калибровка 1 (Баллон ГСО-12)")) + 12);
    m_listChromatograms->InsertColumn(5, QStringLiteral("Тип расчёта"), LVCFMT_LEFT, typeWidth);
    for (int c = 0; c < m_listChromatograms->columnCount(); ++c)
        fitHeading(*m_listChromatograms, c);
    // The free width of a wide window goes to the last column, not to an empty strip.
    m_listChromatograms->horizontalHeader()->setStretchLastSection(true);

    // Clicks and the arrow keys both come here through the selection.
    connect(m_listChromatograms, &QTableWidget::itemSelectionChanged, this,
            &tavrinDlg::OnSelectionChangedChromList);
    connect(m_listChromatograms, &QAbstractItemView::doubleClicked, this,
            &tavrinDlg::OpenInChromatographySoftware);
    m_listChromatograms->installEventFilter(this);
}

void tavrinDlg::CreateResultTabs()
{
    m_tabResults = new QTabWidget(this);
    m_tabResults->setObjectName(QStringLiteral("tabResults"));

    m_pageInfo = new CDlgOutTable(m_tabResults);
    m_pageInfo->setObjectName(QStringLiteral("pageInfo"));
    CGridCtrl& grid = m_pageInfo->m_grid;
    grid.InsertColumn(0, QStringLiteral("№"), LVCFMT_LEFT, 30);
    grid.InsertColumn(1, QStringLiteral("Пик"), LVCFMT_LEFT, 500);
    grid.InsertColumn(2, QStringLiteral("Площадь"), LVCFMT_LEFT, 110);
    grid.InsertColumn(3, QStringLiteral("Концентрация"), LVCFMT_LEFT, 110);
    grid.InsertColumn(4, QStringLiteral("Время выхода, мин"), LVCFMT_LEFT, 110);
    for (int c = 0; c < grid.columnCount(); ++c)
        fitHeading(grid, c);
    m_tabResults->addTab(m_pageInfo, QStringLiteral("Инфо. по хрм."));

    m_resultTables.Setup(m_settings.general);
    m_resultPages = {new DlgTabGs(m_resultTables.gs, m_tabResults), new DlgTabGd(m_resultTables.gd, m_tabResults),
                     new DlgTabDc(m_resultTables.dc, m_tabResults), new DlgTabPg(m_resultTables.pg, m_tabResults)};
    const QStringList captions = {QStringLiteral("Газ сепарации"), QStringLiteral("Газ дегазации"),
                                  QStringLiteral("Дегазированный конденсат"), QStringLiteral("Пластовый газ")};
    for (std::size_t i = 0; i < m_resultPages.size(); ++i) {
        m_resultPages[i]->SetData(&m_calcData, &m_settings);
        m_tabResults->addTab(m_resultPages[i], captions[static_cast<qsizetype>(i)]);
    }

    m_pageMessages = new CDlgMSG(m_log, m_profile, m_tabResults);
    m_pageMessages->setObjectName(QStringLiteral("pageMessages"));
    m_tabResults->addTab(m_pageMessages, QStringLiteral("Системные сообщения"));
    m_tabResults->setCurrentIndex(0);
}

void tavrinDlg::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;

    SaveProfileValues();
    // The components dialog wrote the changed search names as it closed;
    // destroying it writes them once more, for a profile refused then.
    m_pDlgComponents.reset();
    // Destroying the report dialog writes its settings; the flush takes them too.
    m_pDlgReport.reset();
    m_profile.sync();

    // The cylinder dialog writes the database now if it changed since the last
    // write, and asks whether to try again while that fails.
    m_pDlgMixtures.reset();
}

QStringList tavrinDlg::SavedList() const
{
    QStringList paths = recordPaths(m_records);
    const QSet<QString> listed = cleanedPaths(paths);
    for (const QString& path : m_savedLeftUnread) {
        if (!listed.contains(QDir::cleanPath(path)))
            paths.append(path);
    }
    return paths;
}

void tavrinDlg::SaveProfileValues()
{
    SaveRecentChromatograms(m_profile, SavedList());
    m_log.SaveFilters(m_profile);
    SaveWindowState(m_profile, geometry());
}

void tavrinDlg::SaveChromatogramList()
{
    SaveRecentChromatograms(m_profile, SavedList());
    // The day's list rests on this write: a failure is told while it lasts.
    m_listUnwritten.clear();
    if (!m_profile.sync()) {
        const QString why = m_profile.writeError().isEmpty() ? QStringLiteral("причина неизвестна") : m_profile.writeError();
        m_listUnwritten = QStringLiteral("Список хроматограмм: Не удалось записать список в профиль программы %1: %2; "
                                         "следующий запуск его не восстановит.")
                              .arg(QDir::toNativeSeparators(m_profile.fileName()), why);
    }
}

void tavrinDlg::SaveSession()
{
    SaveProfileValues();
    m_pDlgReport->SaveSettings();
    m_profile.sync();
    // Nobody may be there to answer: a failure stays for the end.
    m_pDlgMixtures->SaveMixturesAtExit(false);
}

void tavrinDlg::AskNothingAtTheEnd()
{
    m_pDlgMixtures->SetAskAtExit(false);
}

// ---- the list ---------------------------------------------------------------

int tavrinDlg::AddChromatogram(const QString& path)
{
    return ::AddChromatogram(m_records, path, m_pDlgMixtures->Mixtures());
}

bool tavrinDlg::FindMixtureForSample(ChromatogramRecord& record)
{
    return ::FindMixtureForSample(record, m_pDlgMixtures->Mixtures());
}

int tavrinDlg::ScanFolderForChromatograms(const QString& folder)
{
    return ::ScanFolderForChromatograms(m_records, folder, m_pDlgMixtures->Mixtures());
}

QList<int> tavrinDlg::SelectedRows() const
{
    QList<int> rows;
    for (int r = m_listChromatograms->GetFirstSelectedRow(); r >= 0; r = m_listChromatograms->GetNextSelectedRow(r))
        rows.append(r);
    return rows;
}

void tavrinDlg::ClearInfoPage()
{
    m_pageInfo->m_grid.DeleteAllItems();
}

int tavrinDlg::RemoveChromatograms(bool all)
{
    ClearInfoPage();
    int removed = 0;
    if (all) {
        removed = static_cast<int>(m_records.size());
        m_records.clear();
        // A new set begins: warnings about files of the old one go with it.
        m_readWarnings.clear();
        m_addingLeftUnread.clear();
        m_rereadLeftUnread.clear();
        m_savedLeftUnread.clear();
        m_startNotes.clear();
    } else {
        removed = ::RemoveChromatograms(m_records, SelectedRows());
    }
    if (removed > 0)
        m_nSelected = -1;
    return removed;
}

void tavrinDlg::RefreshChromatograms()
{
    SortChromatograms(m_records);
    AssignCalculationTypes(m_records, m_settings.general, m_pDlgMixtures->Mixtures());
    FillChromatogramList();
    SaveChromatogramList();
    ClearInfoPage();
    RunCalculation();
}

void tavrinDlg::FillChromatogramList()
{
    CGridCtrl* list = m_listChromatograms;
    list->DeleteAllItems();
    ClearInfoPage();
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        const ChromatogramRecord& record = m_records[i];
        const int row = list->AddRow();
        if (row < 0)
            continue;
        if (GridRowStyle* style = list->GetRowStyle(row))
            style->nTag = static_cast<std::intptr_t>(i);
        list->SetItemText(row, 0, QString::number(row + 1));
        list->SetItemText(row, 1, QFileInfo(record.path).fileName());
        list->SetItemText(row, 2, record.sample);
        list->SetItemText(row, 3, record.method);
        list->SetItemText(row, 4, analysisTimeText(record.analysisTime));
        list->SetItemText(row, 5, record.typeName);
    }
}

void tavrinDlg::ShowChromatogramInfo()
{
    if (m_nSelected < 0 || static_cast<std::size_t>(m_nSelected) >= m_records.size())
        return;
    ClearInfoPage();
    CGridCtrl& grid = m_pageInfo->m_grid;
    const int digits = m_settings.general.qtySymInProg;
    const std::vector<PeakItem>& peaks = m_records[static_cast<std::size_t>(m_nSelected)].peaks;
    for (std::size_t j = 0; j < peaks.size(); ++j) {
        const int row = grid.AddRow();
        if (row < 0)
            continue;
        if (GridRowStyle* style = grid.GetRowStyle(row))
            *style = GridRowStyle{CLR_DEFAULT, CLR_DEFAULT, row};
        grid.SetItemText(row, 0, QString::number(j + 1));
        grid.SetItemText(row, 1, peaks[j].name);
        m_pageInfo->SetCellValue(row, 2, digits, peaks[j].area);
        m_pageInfo->SetCellValue(row, 3, digits, peaks[j].concentration);
        m_pageInfo->SetCellValue(row, 4, digits, peaks[j].retentionTime);
    }
}

void tavrinDlg::OnSelectionChangedChromList()
{
    ClearInfoPage();
    const QList<int> rows = SelectedRows();
    if (rows.size() != 1)
        return;
    m_nSelected = rows.first();
    ShowChromatogramInfo();
}

void tavrinDlg::OpenInChromatographySoftware()
{
    QStringList paths;
    for (int row : SelectedRows()) {
        if (row >= 0 && static_cast<std::size_t>(row) < m_records.size())
            paths << m_records[static_cast<std::size_t>(row)].path;
    }
    OpenAllWithDesktop(paths, this, openFileHook, QStringLiteral("файл"), QStringLiteral("файлы"),
                       [this](const QString& text) { ShowErrorBox(QStringLiteral("Ошибка"), text); });
}

void tavrinDlg::ShowErrorBox(const QString& caption, const QString& text)
{
    if (errorBoxHook)
        errorBoxHook(caption, text);
    else
        QMessageBox::critical(this, caption, text);
}

void tavrinDlg::KeepReadWarnings(const UnreadChromatograms& unread, bool listed)
{
    const QString what = listed ? QStringLiteral("удалён из списка") : QStringLiteral("не добавлен в список");
    for (const UnreadChromatogram& file : unread) {
        const QString warning =
            file.folder ? QStringLiteral("Чтение хроматограмм: Папка %1 не просмотрена: %2.")
                              .arg(QDir::toNativeSeparators(file.path), file.reason)
                        : QStringLiteral("Чтение хроматограмм: Файл %1 не прочитан и %2: %3.")
                              .arg(QDir::toNativeSeparators(file.path), what, file.reason);
        KeepReadWarning(file.path, warning);
    }
}

void tavrinDlg::KeepReadWarning(const QString& path, const QString& warning)
{
    if (const auto known = FindReadWarning(path); known != m_readWarnings.end())
        known->second = warning;
    else
        m_readWarnings.emplace_back(QDir::cleanPath(path), warning);
}

void tavrinDlg::KeepCopyWarnings(const ListedCopies& copies, bool listed)
{
    // A copy read with the run listed would fill a second parallel with the
    // same injection; the user is told where the run is listed.
    const QString what = listed ? QStringLiteral("удалён из списка") : QStringLiteral("не добавлен в список");
    const QString where = listed ? QStringLiteral("выше в списке") : QStringLiteral("из списка");
    for (const ListedCopy& copy : copies) {
        const QString path = QDir::toNativeSeparators(copy.path), listedPath = QDir::toNativeSeparators(copy.listedPath);
        // The run worked up again and saved under another name: the user may want that table.
        KeepReadWarning(copy.path, copy.otherPeaks
                                       ? QStringLiteral("Чтение хроматограмм: Файл %1 %2: это тот же анализ, что и файл %3 %4, "
                                                        "но с другой таблицей пиков; в расчёте таблица пиков файла %3. Чтобы "
                                                        "взять таблицу файла %1, удалите из списка файл %3 и добавьте файл %1.")
                                             .arg(path, what, listedPath, where)
                                       : QStringLiteral("Чтение хроматограмм: Файл %1 %2: это та же хроматограмма, что и файл %3 %4.")
                                             .arg(path, what, listedPath, where));
    }
}

void tavrinDlg::TellReplacedRuns(const std::vector<ReplacedRun>& replaced)
{
    for (const ReplacedRun& run : replaced) {
        m_replacedRuns.append(QStringLiteral("Чтение хроматограмм: В файле %1 теперь другая хроматограмма; прежняя "
                                             "(проба «%2», анализ %3) убрана из списка.")
                                  .arg(QDir::toNativeSeparators(run.path), run.sample, analysisTimeText(run.analysisTime)));
    }
}

std::vector<std::pair<QString, QString>>::iterator tavrinDlg::FindReadWarning(const QString& path)
{
    return std::find_if(m_readWarnings.begin(), m_readWarnings.end(),
                        [key = QDir::cleanPath(path)](const auto& kept) { return kept.first == key; });
}

ReadProgress tavrinDlg::ReadingProgress(ReadProgressDialog& dialog)
{
    ReadProgress shown = dialog.progress();
    if (!readProgressHook)
        return shown;
    return [this, shown](int done, int total) { return readProgressHook(done, total) && shown(done, total); };
}

void tavrinDlg::ForgetListedReadWarnings()
{
    // A file listed again has been read: its old warning no longer holds,
    // even after its row is removed.
    std::erase_if(m_readWarnings, [this](const auto& kept) { return FindChromatogram(m_records, kept.first) >= 0; });
}

void tavrinDlg::KeepStoppedAdding(const QStringList& paths, const QStringList& leftUnread)
{
    const QSet<QString> unread = cleanedPaths(leftUnread);
    QSet<QString> chosen;
    for (const QString& path : paths) {
        chosen.insert(QDir::cleanPath(path));
        m_addingLeftUnread.remove(QDir::cleanPath(path));
    }
    m_addingLeftUnread.unite(unread);
    // A run of the saved list read now is listed, named, or told missing.
    m_savedLeftUnread.removeIf([&](const QString& path) {
        const QString key = QDir::cleanPath(path);
        return chosen.contains(key) && !unread.contains(key);
    });
    if (m_addingLeftUnread.isEmpty())
        return;
    // A file listed by another path, through a link, is not left out.
    QSet<FileIdentity> listedFiles;
    for (const ChromatogramRecord& record : m_records)
        listedFiles.insert(record.identity);
    m_addingLeftUnread.removeIf([&listedFiles](const QString& path) { return listedFiles.contains(ReadFileIdentity(path)); });
}

// ---- calculation -----------------------------------------------------------

void tavrinDlg::RecalculateResults()
{
    m_calcData.Recalculate(&m_pDlgMixtures->Mixtures(), &m_records, &m_settings, m_log);
}

void tavrinDlg::RunCalculation()
{
    m_log.ClearMessages();
    // The warnings of files left unread outlast every calculation while the
    // files stay unlisted: the results rest on fewer analyses than were meant.
    ForgetListedReadWarnings();
    for (const auto& kept : m_readWarnings)
        m_log.AddMessage(MessageWarning, kept.second);
    // A stopped reading leaves the results resting on part of the files; a
    // re-read's, as long as they stay listed.
    if (!m_rereadLeftUnread.isEmpty()) {
        const QSet<QString> listed = cleanedPaths(recordPaths(m_records));
        m_rereadLeftUnread.removeIf([&listed](const QString& path) { return !listed.contains(path); });
    }
    if (!m_addingLeftUnread.isEmpty())
        m_log.AddMessage(MessageWarning, QStringLiteral("Чтение хроматограмм: Чтение остановлено кнопкой «Отмена»: "
                                                        "не прочитано файлов: %1, в список они не добавлены.")
                                             .arg(m_addingLeftUnread.size()));
    if (!m_rereadLeftUnread.isEmpty())
        m_log.AddMessage(MessageWarning, QStringLiteral("Чтение хроматограмм: Пересчёт остановлен кнопкой «Отмена»: "
                                                        "не перечитано файлов: %1, в списке они остались прочитанными ранее.")
                                             .arg(m_rereadLeftUnread.size()));
    for (const QString& note : std::as_const(m_startNotes))
        m_log.AddMessage(MessageInfo, note);
    // Told once: the rows show the runs the files hold now.
    for (const QString& replaced : std::as_const(m_replacedRuns))
        m_log.AddMessage(MessageWarning, replaced);
    m_replacedRuns.clear();
    if (!m_listUnwritten.isEmpty())
        m_log.AddMessage(MessageError, m_listUnwritten);
    m_pDlgComponents->settings = &m_settings;
    // A failure here must not leave the pages showing the previous run's
    // results as if they were current, nor end the program.
    try {
        RecalculateResults();
    } catch (const std::exception& e) {
        m_log.AddMessage(MessageError, QStringLiteral("Расчёт: Непредвиденная ошибка: %1").arg(QString::fromUtf8(e.what())));
    } catch (...) {
        m_log.AddMessage(MessageError, QStringLiteral("Расчёт: Непредвиденная ошибка."));
    }
    for (DlgResultTab* page : m_resultPages)
        page->FillAll();
    m_pageMessages->BuildMessageText();
}

// ---- commands --------------------------------------------------------------

void tavrinDlg::OnBnClickedRecalc()
{
    // Every file is read anew, so changed files and a changed cylinder list
    // take effect; a file that is gone drops out of the list.
    ClearInfoPage();
    if (!m_records.empty())
        m_nSelected = -1;
    ListReading reading;
    ReadProgressDialog progress(this);
    RereadChromatograms(m_records, m_pDlgMixtures->Mixtures(), ReadingProgress(progress), &reading);
    m_rereadLeftUnread = cleanedPaths(reading.leftUnread);
    KeepReadWarnings(reading.unread, true);
    KeepCopyWarnings(reading.copies, true);
    TellReplacedRuns(reading.replaced);
    RefreshChromatograms();
}

void tavrinDlg::OnBnClickedAdd()
{
    COpenChrmDlg dlg(this);
    dlg.m_bSingleSelect = 0;
    if (dlg.exec() != QDialog::Accepted || dlg.m_files.isEmpty())
        return;
    ListReading reading;
    {
        ReadProgressDialog progress(this);
        AddChromatograms(m_records, dlg.m_files, m_pDlgMixtures->Mixtures(), ReadingProgress(progress), &reading);
        KeepStoppedAdding(dlg.m_files, reading.leftUnread);
    }
    m_startNotes.clear();
    KeepCopyWarnings(reading.copies, false);
    TellReplacedRuns(reading.replaced);
    const UnreadChromatograms& unread = reading.unread;
    // A file warned of already keeps its one warning, with the reason found now.
    UnreadChromatograms warned;
    std::copy_if(unread.begin(), unread.end(), std::back_inserter(warned),
                 [this](const UnreadChromatogram& file) { return FindReadWarning(file.path) != m_readWarnings.end(); });
    KeepReadWarnings(warned, false);
    RefreshChromatograms();
    if (!unread.empty())
        ShowErrorBox(QStringLiteral("Ошибка чтения"), unreadFilesText(unread));
}

void tavrinDlg::OnBnClickedComponents()
{
    // The edits are in the tables already; OK only asks for the results now.
    if (m_pDlgComponents->exec() == QDialog::Accepted)
        RunCalculation();
}

void tavrinDlg::OnBnClickedSettings()
{
    DlgSettings dlg(&m_settings, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    // The analysis columns follow the new counts before the recalculation fills them.
    for (DlgResultTab* page : m_resultPages)
        page->UpdateConcColumns();
    OnBnClickedRecalc();
}

void tavrinDlg::OnBnClickedMixtures()
{
    const bool accepted = m_pDlgMixtures->exec() == QDialog::Accepted;
    // The flag is never cleared; an unchanged list leaves every match as it was.
    if (!m_pDlgMixtures->IsModified())
        return;
    if (accepted) {
        OnBnClickedRecalc();  // every file read and matched anew
        return;
    }
    // "Отмена" undoes nothing, so the records follow the cylinders as they now
    // stand: a deleted cylinder no longer calibrates or names a record.
    for (ChromatogramRecord& record : m_records) {
        if (record.isCalibration)
            FindMixtureForSample(record);
    }
    RefreshChromatograms();
}

void tavrinDlg::OnBnClickedReport()
{
    m_pDlgReport->exec();
}

void tavrinDlg::OnBnClickedDelete()
{
    if (RemoveChromatograms(false) > 0)
        RefreshChromatograms();
}

void tavrinDlg::OnBnClickedDeleteAll()
{
    // A start stopped before its first file lists nothing, yet says so.
    const bool noted = !m_readWarnings.empty() || !m_addingLeftUnread.isEmpty() || !m_startNotes.isEmpty()
                       || !m_savedLeftUnread.isEmpty();
    if (RemoveChromatograms(true) > 0 || noted)
        RefreshChromatograms();
}

void tavrinDlg::OnBnClickedOpenInChromatographySoftware()
{
    OpenInChromatographySoftware();
}

// ---- window ----------------------------------------------------------------

bool tavrinDlg::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_listChromatograms && e->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        OnBnClickedDelete();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void tavrinDlg::keyPressEvent(QKeyEvent* e)
{
    // Enter on the list ends the program as OK does.
    if (!HandleEnterKey(*this, *e))
        QDialog::keyPressEvent(e);
}

void tavrinDlg::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("&О программе"), this, &tavrinDlg::ShowAbout);
    menu.exec(e->globalPos());
}

void tavrinDlg::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}
