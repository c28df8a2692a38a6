#include "ui/DlgMixtures.h"

#include "data/Settings.h"
#include "ui/DialogFocus.h"
#include "ui/DlgOutTable.h"
#include "ui/EnterKey.h"
#include "ui/WindowPlacement.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kDefaultDigits = 3;
// Each opening starts from it; the screen the dialog opens on may cut it.
constexpr QSize kOpeningSize(820, 620);
const char* const kPlaceholderMark = "!!!!!";
const char* const kPlaceholderDash = "   ---   ";

QString dateText(std::int64_t secondsSinceEpoch)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    if (!t.isValid())
        return QString();
    return t.toString(QStringLiteral("dd.MM.yyyy   HH:mm"));
}

int typeFromText(const QString& text)
{
    // Exact texts only; anything else leaves the cylinder without a kind.
    for (int type = MixtureKindGs; type <= MixtureKindDc; ++type)
        if (text == MixtureTypeText(type))
            return type;
    return MixtureKindNone;
}

// The entry of `count` that the grid's highlighted row is, or -1. The rows
// are the entries in list order; placeholder rows stand only where there
// are no entries.
int chosenIndex(const CGridCtrl* grid, std::size_t count)
{
    const int row = grid->GetFirstSelectedRow();
    return row >= 0 && row < static_cast<int>(count) ? row : -1;
}

// Each entry's number is its position, the only numbers the dialog shows and
// writes: a file may hold any (hand-made, damaged or written by another
// program), and a deletion moves the later entries up.
void numberByPosition(MixtureList& mixtures)
{
    for (std::size_t i = 0; i < mixtures.size(); ++i) {
        mixtures[i]->number = static_cast<std::int32_t>(i) + 1;
        std::vector<MixCompData>& components = mixtures[i]->components;
        for (std::size_t j = 0; j < components.size(); ++j)
            components[j].number = static_cast<std::int32_t>(j) + 1;
    }
}

} // namespace

DlgMixtures::DlgMixtures(const QString& path, CSettings* settings, QWidget* parent)
    : QDialog(parent)
    , m_pSettings(settings)
    , m_strPath(path)
    , m_database(path)
{
    setWindowTitle(QStringLiteral("Смеси"));

    m_gridMixtures = new CGridCtrl(this);
    m_gridComponents = new CGridCtrl(this);
    m_gridMixtures->setObjectName(QStringLiteral("gridMixtures"));
    m_gridComponents->setObjectName(QStringLiteral("gridComponents"));
    m_gridMixtures->setNotifyHandler(this, IDC_MIXTURES_GRID);
    m_gridComponents->setNotifyHandler(this, IDC_COMPONENTS_GRID);
    m_gridMixtures->m_bEditable = true;
    m_gridComponents->m_bEditable = true;
    // The commands act on one highlighted row; several would leave it unclear which.
    m_gridMixtures->setSelectionMode(QAbstractItemView::SingleSelection);
    m_gridComponents->setSelectionMode(QAbstractItemView::SingleSelection);

    m_gridMixtures->InsertColumn(0, QStringLiteral("№"), LVCFMT_LEFT, 35);
    m_gridMixtures->InsertColumn(1, QStringLiteral("Баллон"), LVCFMT_LEFT, 260);
    m_gridMixtures->InsertColumn(2, QStringLiteral("Идентификатор баллона"), LVCFMT_LEFT, -1);
    m_gridMixtures->InsertColumn(3, QStringLiteral("Тип"), LVCFMT_LEFT, -1);
    m_gridMixtures->InsertColumn(4, QStringLiteral("Дата добавления в базу"), LVCFMT_LEFT, -1);

    m_gridComponents->InsertColumn(0, QStringLiteral("№"), LVCFMT_LEFT, 35);
    m_gridComponents->InsertColumn(1, QStringLiteral("Компонент"), LVCFMT_LEFT, 390);
    m_gridComponents->InsertColumn(2, QStringLiteral("Конц. моль%"), LVCFMT_LEFT, 85);
    m_gridComponents->InsertColumn(3, QStringLiteral("Погрешность"), LVCFMT_LEFT, 85);
    // The number columns at least as wide as their headings in the font in use.
    for (int c : {2, 3}) {
        m_gridComponents->setColumnWidth(
            c, std::max(m_gridComponents->columnWidth(c), m_gridComponents->horizontalHeader()->sectionSizeHint(c)));
    }

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_buttonAddMixture = button("buttonAddMixture", QStringLiteral("Добавить баллон"));
    m_buttonDeleteMixture = button("buttonDeleteMixture", QStringLiteral("Удалить баллон"));
    m_buttonResetDate = button("buttonResetDate", QStringLiteral("Сбросить дату баллона"));
    m_buttonAddComponent = button("buttonAddComponent", QStringLiteral("Добавить компонент"));
    m_buttonDeleteComponent = button("buttonDeleteComponent", QStringLiteral("Удалить компонент"));
    // No default button: Enter is the key handler's alone.
    QPushButton* ok = button("buttonOk", QStringLiteral("Ок"));
    QPushButton* cancel = button("buttonCancel", QStringLiteral("Отмена"));

    auto* mixtureButtons = new QHBoxLayout;
    mixtureButtons->addWidget(m_buttonAddMixture);
    mixtureButtons->addWidget(m_buttonDeleteMixture);
    mixtureButtons->addWidget(m_buttonResetDate);
    mixtureButtons->addStretch();
    auto* componentButtons = new QHBoxLayout;
    componentButtons->addWidget(m_buttonAddComponent);
    componentButtons->addWidget(m_buttonDeleteComponent);
    componentButtons->addStretch();
    auto* closeButtons = new QHBoxLayout;
    closeButtons->addStretch();
    closeButtons->addWidget(ok);
    closeButtons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Список имеющихся баллонов:"), this));
    layout->addWidget(m_gridMixtures, 3);
    layout->addLayout(mixtureButtons);
    layout->addWidget(new QLabel(QStringLiteral("Компонентный состав баллона:"), this));
    layout->addWidget(m_gridComponents, 2);
    layout->addLayout(componentButtons);
    layout->addLayout(closeButtons);
    resize(kOpeningSize);

    connect(m_buttonAddMixture, &QPushButton::clicked, this, &DlgMixtures::OnBnClickedAddMixture);
    connect(m_buttonDeleteMixture, &QPushButton::clicked, this, &DlgMixtures::OnBnClickedDeleteMixture);
    connect(m_buttonResetDate, &QPushButton::clicked, this, &DlgMixtures::OnBnClickedResetDate);
    connect(m_buttonAddComponent, &QPushButton::clicked, this, &DlgMixtures::OnBnClickedAddComponent);
    connect(m_buttonDeleteComponent, &QPushButton::clicked, this, &DlgMixtures::OnBnClickedDeleteComponent);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_gridMixtures, &QAbstractItemView::clicked, this, &DlgMixtures::OnClickMixtures);
    // Whatever moves the highlight (a click, a key, a refill) chooses the cylinder.
    connect(m_gridMixtures->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DlgMixtures::OnMixtureSelectionChanged);
    m_gridMixtures->installEventFilter(this);
    m_gridComponents->installEventFilter(this);
}

DlgMixtures::~DlgMixtures()
{
    SaveMixturesAtExit(m_bAskAtExit);
    FreeMixtures();
}

QMessageBox::StandardButton DlgMixtures::ShowMessage(QMessageBox::Icon icon, const QString& caption,
                                                     const QString& text, QMessageBox::StandardButtons buttons)
{
    if (m_messageSink)
        return m_messageSink(icon, caption, text, buttons);
    QMessageBox box(icon, caption, text, buttons, isVisible() ? this : parentWidget());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void DlgMixtures::MarkModified()
{
    m_bModified = true;
    m_bUnsaved = true;
}

// ---- database ---------------------------------------------------------------

void DlgMixtures::LoadMixtures()
{
    const MixturesDatabase::LoadResult result = m_database.load(m_mixtures);
    numberByPosition(m_mixtures);
    if (result.status == MixturesDatabase::LoadStatus::Damaged
        || result.status == MixturesDatabase::LoadStatus::Unreadable)
        ShowMessage(QMessageBox::Warning, QStringLiteral("Ошибка чтения списка баллонов"), result.message);
}

bool DlgMixtures::SaveMixtures()
{
    const MixturesDatabase::SaveResult result = m_database.save(m_mixtures);
    if (!result.ok)
        ShowMessage(QMessageBox::Critical, windowTitle(), result.message);
    else
        m_bUnsaved = false;
    return result.ok;
}

bool DlgMixtures::SaveMixturesAtExit(bool ask)
{
    while (m_bUnsaved) {
        const MixturesDatabase::SaveResult result = m_database.save(m_mixtures);
        if (result.ok) {
            m_bUnsaved = false;
            break;
        }
        if (!ask)
            return false;
        // The program ends after this: what is not written now is lost.
        const QString text = result.message
                             + QStringLiteral("\n\nИзменения базы баллонов не записаны и будут потеряны. "
                                              "Повторить запись?");
        if (ShowMessage(QMessageBox::Warning, windowTitle(), text, QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
            return false;
    }
    return true;
}

void DlgMixtures::done(int result)
{
    // A cell still open would come into force only as the dialog hides, after
    // the write below; it is ended first, as Enter would end it.
    m_gridMixtures->commitEdit();
    m_gridComponents->commitEdit();
    // Written now rather than only at the end, so a kill, a crash or a power
    // cut loses none of the edits the calculation already uses; a failure is
    // reported and the edits stay for the next write.
    if (m_bUnsaved)
        SaveMixtures();
    QDialog::done(result);
}

void DlgMixtures::FreeMixtures()
{
    m_mixtures.clear();
}

// ---- filling ----------------------------------------------------------------

void DlgMixtures::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        OnInitDialog();
        PlaceOverOwner(*this);
        FocusFirstControl(*this);
    }
}

void DlgMixtures::keyPressEvent(QKeyEvent* e)
{
    if (!HandleEnterKey(*this, *e))
        QDialog::keyPressEvent(e);
}

void DlgMixtures::OnInitDialog()
{
    // Every opening starts as a fresh window would: the cylinders listed,
    // none chosen, no composition shown until a cylinder is chosen, at the
    // whole size, whatever a smaller screen cut it to before.
    resize(kOpeningSize);
    m_gridMixtures->DeleteAllItems();
    m_gridComponents->DeleteAllItems();
    m_nShownMixture = -1;
    if (m_strPath.isEmpty()) {
        ShowMessage(QMessageBox::NoIcon, QStringLiteral("Ошибка чтения списка баллонов"),
                    QStringLiteral("Не задан путь к .db базе данных с баллонами"),
                    QMessageBox::Ok | QMessageBox::Cancel);
        AddPlaceholderRows(m_gridMixtures, QStringLiteral("    Не задан путь к .db базе данных с баллонами!!!  "));
    }
    if (!m_mixtures.empty())
        FillMixturesGrid();
}

void DlgMixtures::AddPlaceholderRows(CGridCtrl* grid, const QString& text)
{
    for (int i = 0; i < 3; ++i) {
        const int row = grid->AddRow();
        if (row < 0)
            return;
        grid->SetItemText(row, 0, QString::fromLatin1(kPlaceholderMark));
        if (i == 1) {
            grid->SetItemText(row, 1, text);
            grid->SetItemText(row, 2, QString::fromLatin1(kPlaceholderDash));
            grid->SetItemText(row, 3, QString::fromLatin1(kPlaceholderDash));
        }
    }
}

void DlgMixtures::FillMixturesGrid(int select)
{
    {
        // The rows pass through having none highlighted; only the end counts.
        const QScopedValueRollback<bool> filling(m_bFillingMixtures, true);
        m_gridMixtures->DeleteAllItems();
        for (const MixturePtr& m : m_mixtures) {
            const int row = m_gridMixtures->AddRow();
            if (row < 0)
                break;
            m_gridMixtures->SetItemText(row, 0, QString::number(row + 1));
            m_gridMixtures->SetItemText(row, 1, m->name);
            m_gridMixtures->SetItemText(row, 2, m->identifier);
            m_gridMixtures->SetItemText(row, 3, MixtureTypeText(m->type));
            m_gridMixtures->SetItemText(row, 4, dateText(m->date));
        }
        if (select >= 0 && select < m_gridMixtures->GetItemCount()) {
            m_gridMixtures->SetSelectedRow(select);
            m_gridMixtures->EnsureVisible(select);
        }
    }
    OnMixtureSelectionChanged();
}

QString DlgMixtures::FormatValue(double value) const
{
    if (!(value >= 0.0))
        return QStringLiteral("---");
    return CDlgOutTable::FormatCellValue(m_pSettings ? m_pSettings->general.qtySymInProg : kDefaultDigits, value);
}

void DlgMixtures::FillComponentsGrid()
{
    // The same cylinder shown again keeps its highlighted component.
    const int keep = SelectedComponent();
    m_nShownMixture = SelectedMixture();
    m_gridComponents->DeleteAllItems();
    MixtureData* m = SelectedMixtureData();
    if (!m)
        return;
    if (m->components.empty()) {
        AddPlaceholderRows(m_gridComponents, QStringLiteral("     Добавьте компоненты!  "));
        return;
    }
    for (const MixCompData& c : m->components) {
        const int row = m_gridComponents->AddRow();
        if (row < 0)
            return;
        m_gridComponents->SetItemText(row, 0, QString::number(row + 1));
        m_gridComponents->SetItemText(row, 1, c.name);
        m_gridComponents->SetItemText(row, 2, FormatValue(c.concentration));
        m_gridComponents->SetItemText(row, 3, FormatValue(c.uncertainty));
    }
    m_gridComponents->SetSelectedRow(keep);
}

int DlgMixtures::SelectedMixture() const
{
    return chosenIndex(m_gridMixtures, m_mixtures.size());
}

int DlgMixtures::SelectedComponent() const
{
    const MixtureData* m = SelectedMixtureData();
    if (!m || m_nShownMixture != SelectedMixture())
        return -1;
    return chosenIndex(m_gridComponents, m->components.size());
}

MixtureData* DlgMixtures::SelectedMixtureData() const
{
    const int index = SelectedMixture();
    return index < 0 ? nullptr : m_mixtures[static_cast<std::size_t>(index)].get();
}

// ---- selection --------------------------------------------------------------

void DlgMixtures::OnClickMixtures()
{
    // A click shows the composition afresh even on the cylinder already chosen.
    if (SelectedMixture() < 0)
        return;
    m_gridComponents->clearSelection();
    FillComponentsGrid();
}

void DlgMixtures::OnMixtureSelectionChanged()
{
    if (!m_bFillingMixtures && SelectedMixture() != m_nShownMixture)
        FillComponentsGrid();
}

bool DlgMixtures::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        if (watched == m_gridMixtures)
            OnBnClickedDeleteMixture();
        else if (watched == m_gridComponents)
            OnBnClickedDeleteComponent();
    }
    return QDialog::eventFilter(watched, e);
}

// ---- commands ---------------------------------------------------------------

void DlgMixtures::OnBnClickedAddMixture()
{
    auto m = std::make_shared<MixtureData>();
    m->number = static_cast<std::int32_t>(m_mixtures.size()) + 1;
    m->name = QStringLiteral("Задайте имя баллона!");
    m->identifier = QStringLiteral("---");
    m->type = MixtureKindNone;
    m->date = QDateTime::currentSecsSinceEpoch();
    m_mixtures.push_back(std::move(m));
    MarkModified();
    FillMixturesGrid(static_cast<int>(m_mixtures.size()) - 1);
}

void DlgMixtures::OnBnClickedDeleteMixture()
{
    const int index = SelectedMixture();
    if (index < 0)
        return;
    // Records matched to this cylinder hold their own reference to it.
    m_mixtures.erase(m_mixtures.begin() + index);
    numberByPosition(m_mixtures);
    MarkModified();
    FillMixturesGrid();
}

void DlgMixtures::OnBnClickedResetDate()
{
    MixtureData* m = SelectedMixtureData();
    if (!m)
        return;
    m->date = QDateTime::currentSecsSinceEpoch();
    MarkModified();
    FillMixturesGrid(SelectedMixture());
}

void DlgMixtures::OnBnClickedAddComponent()
{
    MixtureData* m = SelectedMixtureData();
    if (!m)
        return;
    MixCompData c;
    c.number = static_cast<std::int32_t>(m->components.size()) + 1;
    c.name = QStringLiteral("Задайте имя и параметры компонента!");
    c.concentration = -1.0;
    c.uncertainty = -1.0;
    m->components.push_back(c);
    MarkModified();
    FillComponentsGrid();
}

void DlgMixtures::OnBnClickedDeleteComponent()
{
    MixtureData* m = SelectedMixtureData();
    const int index = SelectedComponent();
    if (!m || index < 0)
        return;
    m->components.erase(m->components.begin() + index);
    numberByPosition(m_mixtures);
    MarkModified();
    m_gridComponents->clearSelection();
    FillComponentsGrid();
}

// ---- in-place edits ---------------------------------------------------------

std::intptr_t DlgMixtures::onGridNotify(const GridNotify& notify)
{
    const bool editableColumn = notify.nParam2 >= 1 && notify.nParam2 <= 3;
    if (notify.code == GN_BEGINEDIT)
        return (notify.idFrom == IDC_MIXTURES_GRID || notify.idFrom == IDC_COMPONENTS_GRID) && editableColumn ? 1 : 0;
    if (notify.code != GN_CELLCHANGED)
        return 0;
    if (notify.idFrom == IDC_MIXTURES_GRID)
        return OnMixtureCellChanged(notify.nParam1, notify.nParam2);
    if (notify.idFrom == IDC_COMPONENTS_GRID)
        return OnComponentCellChanged(notify.nParam1, notify.nParam2);
    return 0;
}

std::intptr_t DlgMixtures::OnMixtureCellChanged(int row, int column)
{
    if (row < 0 || row >= static_cast<int>(m_mixtures.size()))
        return 1; // a placeholder row: nothing to change
    MixtureData& m = *m_mixtures[static_cast<std::size_t>(row)];
    const QString text = m_gridMixtures->GetItemText(row, column);
    switch (column) {
    case 1:
        m.name = text;
        break;
    case 2:
        m.identifier = text;
        break;
    case 3:
        m.type = typeFromText(text);
        break;
    default:
        return 0;
    }
    MarkModified();
    return 1;
}

std::intptr_t DlgMixtures::OnComponentCellChanged(int row, int column)
{
    MixtureData* m = SelectedMixtureData();
    if (!m)
        return 0;
    if (row < 0 || row >= static_cast<int>(m->components.size()))
        return 1; // a placeholder row: nothing to change
    MixCompData& c = m->components[static_cast<std::size_t>(row)];
    const QString text = m_gridComponents->GetItemText(row, column);
    if (column == 1) {
        c.name = text;
    } else if (column == 2 || column == 3) {
        const std::optional<double> value = ParseMixtureValue(text);
        if (!value) {
            // Told after the grid has put the old text back, not in the middle of its edit.
            QTimer::singleShot(0, this, [this, text] {
                ShowMessage(QMessageBox::Warning, windowTitle(),
                            QStringLiteral("«%1» — не число. Введите число, например 1.5 или 1,5.").arg(text));
            });
            return 0;
        }
        (column == 2 ? c.concentration : c.uncertainty) = *value;
    } else {
        return 0;
    }
    MarkModified();
    return 1;
}
