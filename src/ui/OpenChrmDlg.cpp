#include "ui/OpenChrmDlg.h"

#include "data/Passport.h"
#include "platform/Profile.h"
#include "ui/DialogUnits.h"
#include "ui/DirTreeCtrl.h"
#include "ui/WaitCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QString kOrganisation = QStringLiteral("Quindle");
const QString kSoftware = QStringLiteral("Morvane");
const QString kOpenDirType = QStringLiteral("OpenDirType");
const QString kLastOpenPath1 = QStringLiteral("LastOpenPath1");
const QString kLastOpenPath2 = QStringLiteral("LastOpenPath2");
const QString kMultiSelectMode = QStringLiteral("MultiSelectMode");
const QString kOpenPath = QStringLiteral("OpenPath");
const QString kReadError = QStringLiteral("Ошибка чтения !!!");

enum ListColumn { ColumnDate = 0, ColumnSample = 1, ColumnFile = 2 };
constexpr int kItemIndexRole = Qt::UserRole;

} // namespace

COpenChrmDlg::COpenChrmDlg(QWidget* parent, Profile* userKey, const Profile* machineKey)
    : CFormDialog(parent)
    , m_userKey(userKey)
    , m_machineKey(machineKey)
{
    if (!m_userKey) {
        m_ownUserKey = std::make_unique<Profile>(ProfileScope::User, kOrganisation, kSoftware);
        m_userKey = m_ownUserKey.get();
    }
    if (!m_machineKey) {
        m_ownMachineKey = std::make_unique<Profile>(ProfileScope::System, kOrganisation, kSoftware);
        m_machineKey = m_ownMachineKey.get();
    }
    setObjectName(QStringLiteral("COpenChrmDlg"));
    setWindowTitle(QStringLiteral("Открытие хроматограммы"));
    m_strAnyMethod = QStringLiteral("* (любой)");
    m_strAnySite = QStringLiteral("* (любой)");
    m_strAnyPoint = QStringLiteral("* (любая)");
    CreateControls();
}

COpenChrmDlg::~COpenChrmDlg() = default;

void COpenChrmDlg::CreateControls()
{
    const DialogUnits du(fontMetrics());
    // A single-line control is never drawn lower than its font needs.
    auto place = [&du](QWidget* w, int x, int y, int width, int height) {
        QRect r = du.rect(x, y, width, height);
        const int needed = w->sizeHint().height();
        if (needed > r.height() && height <= 14)
            r = QRect(r.x(), r.y() + (r.height() - needed) / 2, r.width(), needed);
        w->setGeometry(r);
    };
    auto label = [this, &place](const QString& text, int x, int y, int width) {
        auto* l = new QLabel(text, this);
        place(l, x, y, width, 8);
        return l;
    };
    auto combo = [this, &place](const char* name, int x, int y, int width) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        place(c, x, y, width, 12);
        return c;
    };

    m_chWholeFileSystem = new QCheckBox(QStringLiteral("Вся файловая система"), this);
    m_chWholeFileSystem->setObjectName(QStringLiteral("checkWholeFileSystem"));
    place(m_chWholeFileSystem, 7, 7, 130, 10);

    m_tree = new CDirTreeCtrl(this);
    m_tree->setObjectName(QStringLiteral("tree"));
    place(m_tree, 7, 20, 130, 273);

    m_stPath = new ElidedLabel(this);
    m_stPath->setObjectName(QStringLiteral("pathText"));
    place(m_stPath, 144, 7, 262, 10);

    auto* ok = new QPushButton(QStringLiteral("Открыть"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    place(ok, 413, 6, 50, 14);
    auto* cancel = new QPushButton(QStringLiteral("&Отмена"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    place(cancel, 413, 24, 50, 14);

    label(QStringLiteral("Метод:"), 144, 24, 28);
    m_cbMethod = combo("comboMethod", 174, 22, 100);
    label(QStringLiteral("Тип:"), 144, 40, 28);
    m_cbType = combo("comboType", 174, 38, 100);
    m_cbType->addItems({QStringLiteral("Любые"), QStringLiteral("Градуировочные"), QStringLiteral("Анализы")});
    QLabel* siteLabel = label(QStringLiteral("Пункт отбора:"), 280, 24, 58);
    m_cbSite = combo("comboSite", 340, 22, 66);
    QLabel* pointLabel = label(QStringLiteral("Точка отбора:"), 280, 40, 58);
    m_cbPoint = combo("comboPoint", 340, 38, 66);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("fileList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSortingEnabled(false);
    m_list->header()->setSectionsClickable(false);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setStretchLastSection(false);
    m_list->setHeaderLabels({QStringLiteral("Дата"), QStringLiteral("Проба"), QStringLiteral("Файл")});
    // The date column is made wide enough for a whole date in the font in use.
    const int dateWidth = std::max(50, fontMetrics().horizontalAdvance(QStringLiteral("00.00.00")) + 16);
    m_list->setColumnWidth(ColumnDate, dateWidth);
    m_list->setColumnWidth(ColumnSample, 180);
    m_list->setColumnWidth(ColumnFile, 230);
    place(m_list, 144, 56, 319, 168);

    m_edDescription = new QPlainTextEdit(this);
    m_edDescription->setObjectName(QStringLiteral("description"));
    m_edDescription->setReadOnly(true);
    m_edDescription->setLineWrapMode(QPlainTextEdit::NoWrap);
    place(m_edDescription, 144, 228, 319, 52);

    m_chJointSelect = new QCheckBox(QStringLiteral("Совместный выбор"), this);
    m_chJointSelect->setObjectName(QStringLiteral("checkJointSelect"));
    place(m_chJointSelect, 383, 284, 80, 10);

    resize(du.size(470, 300));

    connect(ok, &QPushButton::clicked, this, &COpenChrmDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &COpenChrmDlg::reject);
    connect(m_chWholeFileSystem, &QCheckBox::clicked, this, &COpenChrmDlg::BuildTree);
    connect(m_chJointSelect, &QCheckBox::clicked, this, [this] { UpdateData(true); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnTreeSelChanged(current); });
    connect(m_cbType, &QComboBox::currentIndexChanged, this, &COpenChrmDlg::OnTypeChanged);
    for (QComboBox* box : {m_cbMethod, m_cbSite, m_cbPoint})
        connect(box, &QComboBox::currentIndexChanged, this, &COpenChrmDlg::FillList);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &COpenChrmDlg::ShowFocusedFile);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &COpenChrmDlg::ShowFocusedFile);
    m_list->viewport()->installEventFilter(this);

    m_bLimitSize = true;
    AddResizeControl(IDC_LIST, m_list, ResizeGrow, ResizeGrow);
    AddResizeControl(IDC_DESCRIPTION, m_edDescription, ResizeGrow, ResizeMove);
    AddResizeControl(IDC_SITE_LABEL, siteLabel, ResizeMove, ResizeStay);
    AddResizeControl(IDC_POINT_LABEL, pointLabel, ResizeMove, ResizeStay);
    AddResizeControl(IDC_SITE, m_cbSite, ResizeMove, ResizeStay);
    AddResizeControl(IDC_POINT, m_cbPoint, ResizeMove, ResizeStay);
    AddResizeControl(IDOK, ok, ResizeMove, ResizeStay);
    AddResizeControl(IDCANCEL, cancel, ResizeMove, ResizeStay);
    AddResizeControl(IDC_JOINT_SELECT, m_chJointSelect, ResizeMove, ResizeMove);
    AddResizeControl(IDC_TREE, m_tree, ResizeStay, ResizeGrow);
    AddResizeControl(IDC_PATH, m_stPath, ResizeGrow, ResizeStay);
    OnCreate();
}

void COpenChrmDlg::showEvent(QShowEvent* e)
{
    CFormDialog::showEvent(e);
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
}

void COpenChrmDlg::OnInitDialog()
{
    UpdateData(false);

    // A value of another kind leaves the choice as it was.
    m_bWholeFileSystem = m_userKey->readInt(QString(), kOpenDirType, m_bWholeFileSystem);
    RegQueryString(m_strLastPath1, *m_userKey, kLastOpenPath1);
    RegQueryString(m_strLastPath2, *m_userKey, kLastOpenPath2);
    m_strPath = m_bWholeFileSystem ? m_strLastPath1 : m_strLastPath2;

    m_list->setSelectionMode(m_bSingleSelect ? QAbstractItemView::SingleSelection
                                             : QAbstractItemView::ExtendedSelection);
    m_files.clear();
    UpdateData(false);
    BuildTree();
}

void COpenChrmDlg::UpdateData(bool fromControls)
{
    if (fromControls) {
        m_bWholeFileSystem = m_chWholeFileSystem->isChecked() ? 1 : 0;
        m_bJointSelect = m_chJointSelect->isChecked() ? 1 : 0;
        m_nType = std::max(0, m_cbType->currentIndex());
        return;
    }
    const QSignalBlocker blockType(m_cbType);
    m_chWholeFileSystem->setChecked(m_bWholeFileSystem != 0);
    m_chJointSelect->setChecked(m_bJointSelect != 0);
    m_cbType->setCurrentIndex(std::clamp(m_nType, 0, m_cbType->count() - 1));
}

void COpenChrmDlg::BuildTree()
{
    UpdateData(true);
    m_bBuildingTree = true;
    if (m_bWholeFileSystem) {
        m_tree->DisplayTree(QString(), false);
        m_tree->SetSelPath(m_strLastPath1);
    } else {
        // The single root is the software's configured folder, else the user's home.
        QString root;
        RegQueryString(root, *m_machineKey, kOpenPath, QDir::homePath());
        const QString remembered = m_strLastPath2;
        m_tree->DisplayTree(root, false);
        m_tree->SetSelPath(remembered);
        m_strPath = remembered;
        m_strLastPath2 = remembered;
    }
    m_bBuildingTree = false;
    ScanFolder();
}

void COpenChrmDlg::OnTreeSelChanged(QTreeWidgetItem* item)
{
    if (!item)
        return;
    m_strPath = m_tree->GetItemPath(item);
    if (!m_bBuildingTree)
        ScanFolder();
    if (m_bWholeFileSystem)
        m_strLastPath1 = m_strPath;
    else
        m_strLastPath2 = m_strPath;
}

void COpenChrmDlg::OnTypeChanged()
{
    UpdateData(true);
    ScanFolder();
}

void COpenChrmDlg::ScanFolder()
{
    const WaitCursor wait;
    m_items = ReadFolderItems(m_strPath, m_nType);
    m_stPath->setText(m_strPath);

    const struct
    {
        QComboBox* box;
        QString OpenListItem::*field;
        const QString& any;
    } boxes[] = {
        {m_cbMethod, &OpenListItem::strMethod, m_strAnyMethod},
        {m_cbSite, &OpenListItem::strSite, m_strAnySite},
        {m_cbPoint, &OpenListItem::strPoint, m_strAnyPoint},
    };
    for (const auto& b : boxes) {
        const QSignalBlocker block(b.box);
        b.box->clear();
        b.box->addItems(FilterChoices(m_items, b.field, b.any));
        b.box->setCurrentIndex(b.box->findText(b.any, Qt::MatchExactly));
    }
    FillList();
}

void COpenChrmDlg::FillList()
{
    OpenListFilter filter;
    filter.method = m_cbMethod->currentText();
    filter.site = m_cbSite->currentText();
    filter.point = m_cbPoint->currentText();
    filter.methodOn = filter.method != m_strAnyMethod;
    filter.siteOn = filter.site != m_strAnySite;
    filter.pointOn = filter.point != m_strAnyPoint;

    const QSignalBlocker block(m_list->selectionModel());
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem*> rows;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const OpenListItem& item = m_items[i];
        if (!PassesFilter(item, filter))
            continue;
        const QDateTime time = QDateTime::fromSecsSinceEpoch(item.tmAnalysis, Qt::LocalTime);
        auto* row = new QTreeWidgetItem(
            QStringList{time.isValid() ? time.toString(QStringLiteral("dd.MM.yy")) : QString(), item.strSample,
                        item.strTitle});
        row->setData(ColumnDate, kItemIndexRole, static_cast<int>(i));
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);
    m_list->setUpdatesEnabled(true);
    m_edDescription->clear();
}

void COpenChrmDlg::ShowFocusedFile()
{
    if (m_bJointSelecting)
        return;
    QTreeWidgetItem* focused = m_list->currentItem();
    if (!focused)
        return;
    const int index = focused->data(ColumnDate, kItemIndexRole).toInt();
    if (index < 0 || static_cast<std::size_t>(index) >= m_items.size())
        return;
    const OpenListItem& item = m_items[static_cast<std::size_t>(index)];

    CPassport passport;
    if (!ReadPassportOnly(passport, OpenListItemPath(m_strPath, item))) {
        m_edDescription->setPlainText(kReadError);
        return;
    }
    QString text = passport.FormatDescription();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_edDescription->setPlainText(text);

    if (!m_bJointSelect || !focused->isSelected())
        return;
    std::vector<std::int64_t> times;
    const int rowCount = m_list->topLevelItemCount();
    times.reserve(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) {
        const int i = m_list->topLevelItem(r)->data(ColumnDate, kItemIndexRole).toInt();
        times.push_back(m_items[static_cast<std::size_t>(i)].tmAnalysis);
    }
    const int focusedRow = m_list->indexOfTopLevelItem(focused);
    QItemSelection more;
    for (int r : JointSelection(times, focusedRow)) {
        if (!m_list->topLevelItem(r)->isSelected()) {
            const QModelIndex first = m_list->model()->index(r, 0);
            more.select(first, first);
        }
    }
    if (more.isEmpty())
        return;
    m_bJointSelecting = true;
    m_list->selectionModel()->select(more, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_bJointSelecting = false;
}

bool COpenChrmDlg::eventFilter(QObject* watched, QEvent* e)
{
    // A double click anywhere in the list, a row holding the focus, acts as
    // "Открыть"; on a row, its first press has selected that row.
    if (watched == m_list->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        if (m_list->currentItem())
            QMetaObject::invokeMethod(this, &COpenChrmDlg::accept, Qt::QueuedConnection);
        return true;
    }
    return CFormDialog::eventFilter(watched, e);
}

void COpenChrmDlg::accept()
{
    m_userKey->writeString(QString(), kLastOpenPath1, m_strLastPath1);
    m_userKey->writeString(QString(), kLastOpenPath2, m_strLastPath2);
    m_userKey->writeInt(QString(), kMultiSelectMode, m_bJointSelect);
    m_userKey->writeInt(QString(), kOpenDirType, m_bWholeFileSystem);
    // A failed write is no reason to keep the operator from the files.
    m_userKey->sync();

    // Exactly the selected rows: a focused row the user deselected stays out.
    m_files.clear();
    for (int r = 0; r < m_list->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* row = m_list->topLevelItem(r);
        if (!row->isSelected())
            continue;
        const int index = row->data(ColumnDate, kItemIndexRole).toInt();
        if (index >= 0 && static_cast<std::size_t>(index) < m_items.size())
            m_files.append(OpenListItemPath(m_strPath, m_items[static_cast<std::size_t>(index)]));
    }
    CFormDialog::accept();
}
