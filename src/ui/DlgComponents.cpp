#include "ui/DlgComponents.h"

#include "data/Settings.h"
#include "platform/Profile.h"
#include "ui/DialogUnits.h"
#include "ui/DlgOutTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kTitle = QStringLiteral("Компоненты");
enum Column { ColumnNumber = 0, ColumnName = 1, ColumnSearchName = 2, ColumnValue = 3 };

int digitsOf(const CSettings* settings)
{
    return settings ? settings->general.qtySymInProg : 3;
}

CGridCtrl* pageGrid(QWidget* page, const QString& objectName, const QString& valueCaption, int valueWidth)
{
    auto* grid = new CGridCtrl(page);
    grid->setObjectName(objectName);
    grid->m_bEditable = true;
    grid->InsertColumn(ColumnNumber, QStringLiteral("№"), LVCFMT_LEFT, 30);
    grid->InsertColumn(ColumnName, QStringLiteral("Имя"), LVCFMT_LEFT, 170);
    grid->InsertColumn(ColumnSearchName, QStringLiteral("Имя для поиска"), LVCFMT_LEFT, 170);
    // Wide enough for its heading in the font in use.
    const int headingWidth = grid->horizontalHeader()->fontMetrics().horizontalAdvance(valueCaption) + 16;
    grid->InsertColumn(ColumnValue, valueCaption, LVCFMT_LEFT, std::max(valueWidth, headingWidth));
    auto* layout = new QVBoxLayout(page);
    const DialogUnits du(page->fontMetrics());
    layout->setContentsMargins(du.x(7), du.y(7), du.x(7), du.y(7));
    layout->addWidget(grid);
    return grid;
}

void showRefusal(const ComponentsMessageHook& hook, QWidget* parent, const QString& text)
{
    if (hook)
        hook(parent, text);
    else
        QMessageBox::warning(parent, kTitle, text);
}

} // namespace

// ---- gas page -----------------------------------------------------------------

DlgComponentsGas::DlgComponentsGas(GasComponentTable& table, QWidget* parent)
    : QWidget(parent)
    , m_table(table)
{
    m_grid = pageGrid(this, QStringLiteral("gridGas"), QStringLiteral("Молярная масса"), 93);
    m_grid->setNotifyHandler(this, IDC_GAS_GRID);
}

void DlgComponentsGas::FillGrid()
{
    m_grid->DeleteAllItems();
    const int digits = digitsOf(settings);
    for (const auto& [key, entry] : m_table.bySearchName()) {
        const GasComponent* component = entry.component;
        const int row = m_grid->AddRow();
        if (row < 0 || !component)
            continue;
        // The component's id names its entry, whatever its search name becomes.
        if (GridRowStyle* style = m_grid->GetRowStyle(row))
            style->nTag = component->id;
        m_grid->SetItemText(row, ColumnNumber, QString::number(row + 1));
        m_grid->SetItemText(row, ColumnName, component->name);
        m_grid->SetItemText(row, ColumnSearchName, component->searchName);
        m_grid->SetItemText(row, ColumnValue, CDlgOutTable::FormatCellValue(digits, component->molarMass));
    }
}

bool DlgComponentsGas::OnGridBeginEdit(int, int column) const
{
    return column == ColumnSearchName;
}

bool DlgComponentsGas::OnGridEndEdit(int row, int column)
{
    if (column != ColumnSearchName)
        return true;
    const GridRowStyle* style = m_grid->GetRowStyle(row);
    if (!style)
        return true;
    const QString text = m_grid->GetItemText(row, column);
    if (m_table.SetSearchName(static_cast<std::int32_t>(style->nTag), text))
        return true;
    // Two components under one search name would leave one of them unmatched.
    const GasSearchEntry* taken = m_table.FindComponentBySearchName(text);
    const QString owner = taken && taken->component ? taken->component->name : QString();
    showRefusal(messageHook, this,
                QStringLiteral("Имя для поиска \"%1\" уже есть у компонента \"%2\". Имя не изменено.").arg(text, owner));
    return false;
}

std::intptr_t DlgComponentsGas::onGridNotify(const GridNotify& notify)
{
    if (notify.idFrom != IDC_GAS_GRID)
        return 0;
    switch (notify.code) {
    case GN_BEGINEDIT:
        return OnGridBeginEdit(notify.nParam1, notify.nParam2) ? 1 : 0;
    case GN_CELLCHANGED:
        return OnGridEndEdit(notify.nParam1, notify.nParam2) ? 1 : 0;
    default:
        return 0;
    }
}

// ---- temperature page ---------------------------------------------------------

DlgComponentsTemp::DlgComponentsTemp(TempComponentTable& table, QWidget* parent)
    : QWidget(parent)
    , m_table(table)
{
    m_grid = pageGrid(this, QStringLiteral("gridTemp"), QStringLiteral("Температура"), 85);
    m_grid->setNotifyHandler(this, IDC_TEMP_GRID);
}

void DlgComponentsTemp::OnInitDialog()
{
    m_entries.clear();
    m_entries.reserve(m_table.rows().size());
    for (const TempComponent& row : m_table.rows())
        m_entries.push_back(TempEditEntry{&row, false, false, false});
    FillGrid();
}

void DlgComponentsTemp::FillGrid()
{
    m_grid->DeleteAllItems();
    const int digits = digitsOf(settings);
    for (const TempEditEntry& entry : m_entries) {
        const int row = m_grid->AddRow();
        if (row < 0)
            continue;
        if (GridRowStyle* style = m_grid->GetRowStyle(row))
            style->nTag = entry.row->id;
        m_grid->SetItemText(row, ColumnNumber, QString::number(row + 1));
        m_grid->SetItemText(row, ColumnName, entry.row->name);
        m_grid->SetItemText(row, ColumnSearchName, entry.row->searchName);
        m_grid->SetItemText(row, ColumnValue, CDlgOutTable::FormatCellValue(digits, entry.row->temperature));
    }
}

bool DlgComponentsTemp::OnGridBeginEdit(int, int column) const
{
    return column == ColumnSearchName;
}

bool DlgComponentsTemp::OnGridEndEdit(int row, int column)
{
    if (column != ColumnSearchName)
        return true;
    const GridRowStyle* style = m_grid->GetRowStyle(row);
    if (!style)
        return true;
    const auto id = static_cast<std::int32_t>(style->nTag);
    auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                              [id](const TempEditEntry& e) { return e.row->id == id; });
    if (entry == m_entries.end())
        return true;
    const QString text = m_grid->GetItemText(row, column);
    // Peaks match the first row of a search name; a second row under it would never match.
    if (const TempComponent* other = m_table.FindOtherBySearchName(id, text)) {
        showRefusal(messageHook, this,
                    QStringLiteral("Имя для поиска \"%1\" уже есть у компонента \"%2\". Имя не изменено.")
                        .arg(text, other->name));
        return false;
    }
    m_table.SetSearchName(id, text);
    entry->modified = true;
    entry->searchNameEdited = true;
    return true;
}

std::intptr_t DlgComponentsTemp::onGridNotify(const GridNotify& notify)
{
    if (notify.idFrom != IDC_TEMP_GRID)
        return 0;
    switch (notify.code) {
    case GN_BEGINEDIT:
        return OnGridBeginEdit(notify.nParam1, notify.nParam2) ? 1 : 0;
    case GN_CELLCHANGED:
        return OnGridEndEdit(notify.nParam1, notify.nParam2) ? 1 : 0;
    default:
        return 0;
    }
}

// ---- dialog -------------------------------------------------------------------

DlgComponents::DlgComponents(Profile* profile, QWidget* parent, GasComponentTable& gas, TempComponentTable& temp)
    : QDialog(parent)
    , m_profile(profile)
    , m_gas(gas)
{
    setObjectName(QStringLiteral("DlgComponents"));
    setWindowTitle(kTitle);
    setSizeGripEnabled(true);

    // The calculations find components in these tables from the first one on.
    gas.Build(profile);
    temp.Build(profile);

    m_tab = new QTabWidget(this);
    m_tab->setObjectName(QStringLiteral("tab"));
    m_gasPage = new DlgComponentsGas(gas);
    m_tempPage = new DlgComponentsTemp(temp);
    m_tab->addTab(m_gasPage, QStringLiteral("Газовые компоненты"));
    m_tab->addTab(m_tempPage, QStringLiteral("Температурные компоненты"));
    // Enter and Escape inside a page are the page's own, and do nothing.
    m_gasPage->installEventFilter(this);
    m_tempPage->installEventFilter(this);

    auto* ok = new QPushButton(QStringLiteral("Ок"), this);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const DialogUnits du(fontMetrics());
    for (QPushButton* b : {ok, cancel})
        b->setMinimumSize(du.size(50, 14));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(du.x(8));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(du.x(7), du.y(7), du.x(7), du.y(7));
    layout->setSpacing(du.y(4));
    layout->addWidget(m_tab, 1);
    layout->addLayout(buttons);

    m_initialSize = du.size(353, 306).expandedTo(layout->minimumSize());
    resize(m_initialSize);
    setMinimumSize(m_initialSize);
}

DlgComponents::~DlgComponents()
{
    if (m_profile) {
        m_gas.SaveSettings(*m_profile);
        m_profile->sync();
    }
}

void DlgComponents::setMessageHook(ComponentsMessageHook hook)
{
    m_gasPage->messageHook = hook;
    m_tempPage->messageHook = std::move(hook);
}

void DlgComponents::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
        OnInitDialog();
    QDialog::showEvent(e);
}

void DlgComponents::OnInitDialog()
{
    resize(m_initialSize);
    m_gasPage->settings = settings;
    m_tempPage->settings = settings;
    m_tab->setCurrentIndex(0);
    m_gasPage->FillGrid();
    m_tempPage->OnInitDialog();
}

bool DlgComponents::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress && (watched == m_gasPage || watched == m_tempPage)) {
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            e->accept();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, e);
}
