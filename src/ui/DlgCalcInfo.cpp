#include "ui/DlgCalcInfo.h"

#include "platform/Profile.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct CalcInfoColumn
{
    const char16_t* caption;
    int width;
};

// In column order; a column's id is its index here.
const CalcInfoColumn kColumns[] = {
    {u"№", 30},
    {u"Пик", 200},
    {u"Анализов", 60},
    {u"Сум. площадей", 100},
    {u"Ср. площадь", 80},
    {u"ОСКО", 70},
    {u"Абс. расш. н. моль%", 120},
    {u"Отн. расш. н, %", 105},
    {u"Норматив ОСКО", 105},
    {u"Соответствие ОСКО", 120},
    {u"Конц. расч. моль%", 115},
    {u"Расх. отн., %", 90},
    {u"σk (табл. 4), %", 100},
    {u"Норматив, %", 100},
    {u"Соответствие", 100},
};

QString recordKey(std::size_t index, const char* name)
{
    return QString::asprintf("%d_", static_cast<int>(index)) + QLatin1String(name);
}

} // namespace

DlgCalcInfo::DlgCalcInfo(Profile& profile, QWidget* parent)
    : QWidget(parent)
    , m_profile(profile)
    , m_strSection(QStringLiteral("TablesSettings"))
    , m_strSubsection(QStringLiteral("CalcInfo"))
{
    setObjectName(QStringLiteral("DlgCalcInfo"));
    m_grid = new CGridCtrl(this);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setNotifyHandler(this, IDC_GRID);
    m_lbMixture = new QLabel(this);
    m_lbChannel = new QLabel(this);
    m_cbMixture = new QComboBox(this);
    m_cbChannel = new QComboBox(this);
    m_cbMixture->setMinimumWidth(160);
    m_cbChannel->setMinimumWidth(160);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_lbMixture);
    boxes->addWidget(m_cbMixture);
    boxes->addSpacing(12);
    boxes->addWidget(m_lbChannel);
    boxes->addWidget(m_cbChannel);
    boxes->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(m_grid, 1);
}

// Shown as a window of its own, it is fitted onto its screen as the main window is.
void DlgCalcInfo::showEvent(QShowEvent* event)
{
    if (isWindow() && !event->spontaneous())
        SetGeometryOnScreen(*this, geometry());
    QWidget::showEvent(event);
}

DlgCalcInfo::~DlgCalcInfo()
{
    SaveLayout();
    m_profile.sync();
}

void DlgCalcInfo::OnInitDialog()
{
    m_lbMixture->setText(QStringLiteral("Смесь:"));
    m_lbChannel->setText(QStringLiteral("Канал:"));
    LoadLayout();
    m_bInitialised = true;
    int position = 1;
    for (const CalcInfoColumn& column : kColumns) {
        AddColumn(position, QString::fromUtf16(column.caption), column.width, position - 1);
        ++position;
    }
}

void DlgCalcInfo::LoadLayout()
{
    const QString section = m_strSection + QLatin1Char('\\') + m_strSubsection;
    const int count = m_profile.readInt(section, QStringLiteral("qtyCols"), 0);
    // Only records that are there are read, so a damaged huge count costs nothing.
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (!m_profile.contains(section, recordKey(index, "id")) && !m_profile.contains(section, recordKey(index, "width"))
            && !m_profile.contains(section, recordKey(index, "visible")))
            break;
        ColumnLayout record;
        record.nId = m_profile.readInt(section, recordKey(index, "id"), 0);
        record.nWidth = m_profile.readInt(section, recordKey(index, "width"), 20);
        record.bVisible = m_profile.readInt(section, recordKey(index, "visible"), 0) != 0;
        if (record.nId >= 0)
            m_layout.push_back(record);
    }
}

void DlgCalcInfo::SaveLayout()
{
    const QString section = m_strSection + QLatin1Char('\\') + m_strSubsection;
    for (std::size_t i = 0; i < m_layout.size(); ++i) {
        ColumnLayout& record = m_layout[i];
        m_profile.writeInt(section, recordKey(i, "id"), record.nId);
        if (record.nWidth == 0)
            record.nWidth = 2;
        m_profile.writeInt(section, recordKey(i, "width"), record.nWidth);
        m_profile.writeInt(section, recordKey(i, "visible"), record.bVisible ? 1 : 0);
    }
    m_profile.writeInt(section, QStringLiteral("qtyCols"), static_cast<int>(m_layout.size()));
}

void DlgCalcInfo::AddColumn(int position, const QString& caption, int defaultWidth, int id)
{
    // The record of the column at this position stands at the same index, so
    // that the column menu and the resize notifications find it by index.
    const auto target = static_cast<std::ptrdiff_t>(
        std::min(static_cast<std::size_t>(std::max(position - 1, 0)), m_layout.size()));
    const auto found = std::find_if(m_layout.begin(), m_layout.end(),
                                    [id](const ColumnLayout& r) { return r.nId == id; });
    int width = defaultWidth;
    if (found == m_layout.end()) {
        m_layout.insert(m_layout.begin() + target, ColumnLayout{id, defaultWidth, true});
    } else {
        width = found->bVisible ? found->nWidth : 0;
        const auto at = found - m_layout.begin();
        if (at > target)
            std::rotate(m_layout.begin() + target, found, found + 1);
        else if (at < target)
            std::rotate(found, found + 1, m_layout.begin() + target + 1);
    }
    m_grid->InsertColumn(position - 1, caption, LVCFMT_LEFT, width);
}

QMenu* DlgCalcInfo::CreateColumnMenu()
{
    if (!m_bInitialised)
        return nullptr;
    auto* menu = new QMenu(this);
    for (int i = 0; i < m_grid->GetColumnCount(); ++i) {
        QAction* action = menu->addAction(m_grid->GetColumnText(i));
        action->setCheckable(true);
        action->setChecked(static_cast<std::size_t>(i) < m_layout.size() && m_layout[static_cast<std::size_t>(i)].bVisible);
        action->setData(ID_COLUMN_FIRST + i);
        connect(action, &QAction::triggered, this, [this, i] { OnColumnToggle(i); });
    }
    return menu;
}

void DlgCalcInfo::OnColumnToggle(int column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= m_layout.size())
        return;
    ColumnLayout& record = m_layout[static_cast<std::size_t>(column)];
    record.bVisible = !record.bVisible;
    m_grid->SetColumnWidth(column, record.bVisible ? record.nWidth : 0);
}

std::intptr_t DlgCalcInfo::onGridNotify(const GridNotify& notify)
{
    if (notify.idFrom != IDC_GRID)
        return 0;
    switch (notify.code) {
    case GN_CONTEXTMENU: {
        if (QMenu* menu = CreateColumnMenu()) {
            menu->exec(QPoint(notify.nParam1, notify.nParam2));
            delete menu;
        }
        return 1;
    }
    case GN_COLUMNRESIZED:
        if (notify.nParam1 >= 0 && static_cast<std::size_t>(notify.nParam1) < m_layout.size())
            m_layout[static_cast<std::size_t>(notify.nParam1)].nWidth = notify.nParam2;
        return 1;
    default:
        return 0;
    }
}
