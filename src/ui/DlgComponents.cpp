#include "ui/DlgComponents.h"

#include "data/Settings.h"
#include "platform/Profile.h"
#include "ui/DialogFocus.h"
#include "ui/DialogUnits.h"
#include "ui/DlgOutTable.h"
#include "ui/WindowPlacement.h"

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

// Through the hook where one is set (tests), else in a warning box.
void showMessage(const ComponentsMessageHook& hook, QWidget* parent, const QString& text)
{
    if (hook)
        hook(parent, text);
    else
        QMessageBox::warning(parent, kTitle, text);
}

int digitsOf(const CSettings* settings)
{
    return settings ? settings->general.qtySymInProg : 3;
}

} // namespace

// ---- both pages -----------------------------------------------------------------

DlgComponentsPage::DlgComponentsPage(int controlId, const QString& gridName, const QString& valueCaption,
                                     int valueWidth, QWidget* parent)
    : QWidget(parent)
    , m_controlId(controlId)
{
    m_grid = new CGridCtrl(this);
    m_grid->setObjectName(gridName);
    m_grid->m_bEditable = true;
    m_grid->InsertColumn(ColumnNumber, QStringLiteral("№"), LVCFMT_LEFT, 30);
    m_grid->InsertColumn(ColumnName, QStringLiteral("Имя"), LVCFMT_LEFT, 170);
    m_grid->InsertColumn(ColumnSearchName, QStringLiteral("Имя для поиска"), LVCFMT_LEFT, 170);
    // Wide enough for its heading in the font in use.
    const int headingWidth = m_grid->horizontalHeader()->fontMetrics().horizontalAdvance(valueCaption) + 16;
    m_grid->InsertColumn(ColumnValue, valueCaption, LVCFMT_LEFT, std::max(valueWidth, headingWidth));
    auto* layout = new QVBoxLayout(this);
    const DialogUnits du(fontMetrics());
    layout->setContentsMargins(du.x(7), du.y(7), du.x(7), du.y(7));
    layout->addWidget(m_grid);
    m_grid->setNotifyHandler(this, controlId);
}

void DlgComponentsPage::FillRow(int row, std::int32_t id, const QString& name, const QString& searchName,
                                double value)
{
    if (GridRowStyle* style = m_grid->GetRowStyle(row))
        style->nTag = id;
    m_grid->SetItemText(row, ColumnNumber, QString::number(row + 1));
    m_grid->SetItemText(row, ColumnName, name);
    m_grid->SetItemText(row, ColumnSearchName, searchName);
    m_grid->SetItemText(row, ColumnValue, CDlgOutTable::FormatCellValue(digitsOf(settings), value));
}

void DlgComponentsPage::RefuseSearchName(const QString& text, const QString& owner)
{
    const QString refusal =
        QStringLiteral("Имя для поиска \"%1\" уже есть у компонента \"%2\". Имя не изменено.").arg(text, owner);
    showMessage(messageHook, this, refusal);
}

bool DlgComponentsPage::OnGridBeginEdit(int, int column) const
{
    return column == ColumnSearchName;
}

std::intptr_t DlgComponentsPage::onGridNotify(const GridNotify& notify)
{
    if (notify.idFrom != m_controlId)
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

// ---- gas page -----------------------------------------------------------------

DlgComponentsGas::DlgComponentsGas(GasComponentTable& table, QWidget* parent)
    : DlgComponentsPage(IDC_GAS_GRID, QStringLiteral("gridGas"), QStringLiteral("Молярная масса"), 93, parent)
    , m_table(table)
{
}

void DlgComponentsGas::FillGrid()
{
    m_grid->DeleteAllItems();
    for (const auto& [key, entry] : m_table.bySearchName()) {
        const GasComponent* component = entry.component;
        const int row = m_grid->AddRow();
        // The component's id names its entry, whatever its search name becomes.
        if (row >= 0 && component)
            FillRow(row, component->id, component->name, component->searchName, component->molarMass);
    }
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
    RefuseSearchName(text, taken && taken->component ? taken->component->name : QString());
    return false;
}

// ---- temperature page ---------------------------------------------------------

DlgComponentsTemp::DlgComponentsTemp(TempComponentTable& table, QWidget* parent)
    : DlgComponentsPage(IDC_TEMP_GRID, QStringLiteral("gridTemp"), QStringLiteral("Температура"), 85, parent)
    , m_table(table)
{
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
    for (const TempEditEntry& entry : m_entries) {
        const int row = m_grid->AddRow();
        if (row >= 0)
            FillRow(row, entry.row->id, entry.row->name, entry.row->searchName, entry.row->temperature);
    }
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
        RefuseSearchName(text, other->name);
        return false;
    }
    m_table.SetSearchName(id, text);
    entry->modified = true;
    entry->searchNameEdited = true;
    return true;
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
    m_tempPage->messageHook = hook;
    m_messageHook = std::move(hook);
}

void DlgComponents::done(int result)
{
    const bool told = !SaveSearchNames();
    QDialog::done(result);
    // The box took the focus from the dialog, and some window managers give
    // it to no window once the dialog is gone.
    if (told && parentWidget())
        parentWidget()->window()->activateWindow();
}

bool DlgComponents::SaveSearchNames()
{
    if (!m_profile || !m_gas.HasUnsavedSearchNames())
        return true;
    m_gas.SaveSettings(*m_profile);
    if (m_profile->sync())
        return true;
    showMessage(m_messageHook, this, ProfileNotWrittenText(*m_profile, QStringLiteral("имена для поиска")));
    return false;
}

void DlgComponents::showEvent(QShowEvent* e)
{
    if (!e->spontaneous()) {
        OnInitDialog();
        PlaceOverOwner(*this);
        FocusFirstControl(*this);
    }
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
