#include "ui/GridCtrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

// Header items keep the column's GridColumnFormat under this role.
constexpr int kFormatRole = Qt::UserRole + 1;

bool isDefaultColour(COLORREF c)
{
    // CLR_DEFAULT and the other special values all carry a non-zero high byte.
    return (c & 0xFF000000u) != 0;
}

QColor toQColor(COLORREF c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

Qt::Alignment alignmentOf(int format)
{
    switch (format) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// The leading decimal number of a cell's text, 0 when there is none; the
// decimal point is always "." whatever the locale.
double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    std::string s;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        if (text.at(i) == u'-')
            s += '-';
        ++i;
    }
    auto isDigit = [&](qsizetype k) { return k < n && text.at(k) >= u'0' && text.at(k) <= u'9'; };
    bool digits = false;
    while (isDigit(i)) {
        s += char(text.at(i).unicode());
        ++i;
        digits = true;
    }
    if (i < n && text.at(i) == u'.') {
        qsizetype j = i + 1;
        bool fraction = false;
        std::string f = ".";
        while (isDigit(j)) {
            f += char(text.at(j).unicode());
            ++j;
            fraction = true;
        }
        if (digits || fraction) {
            s += f;
            i = j;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        std::string e = "e";
        if (j < n && (text.at(j) == u'+' || text.at(j) == u'-')) {
            e += char(text.at(j).unicode());
            ++j;
        }
        if (isDigit(j)) {
            while (isDigit(j)) {
                e += char(text.at(j).unicode());
                ++j;
            }
            s += e;
        }
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    Q_UNUSED(ptr);
    if (ec == std::errc::result_out_of_range) {
        // Too large a magnitude saturates, too small a one becomes zero; the
        // decimal exponent of the first significant digit tells which.
        const bool negative = s.front() == '-';
        const auto epos = s.find('e');
        const std::string mantissa = s.substr(negative ? 1 : 0, epos == std::string::npos ? std::string::npos
                                                                                         : epos - (negative ? 1 : 0));
        const auto point = std::min(mantissa.find('.'), mantissa.size());
        const auto first = mantissa.find_first_of("123456789");
        if (first == std::string::npos)
            return 0.0;
        long long magnitude = first < point ? (long long)(point - first) - 1 : -(long long)(first - point);
        if (epos != std::string::npos) {
            long long exponent = 0;
            std::size_t k = epos + 1;
            const bool down = k < s.size() && s[k] == '-';
            if (k < s.size() && (s[k] == '-' || s[k] == '+'))
                ++k;
            // Capped: any exponent this large already decides the outcome.
            for (; k < s.size() && exponent < 1000000000LL; ++k)
                exponent = exponent * 10 + (s[k] - '0');
            magnitude += down ? -exponent : exponent;
        }
        if (magnitude < 0)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    return ec == std::errc() ? value : 0.0;
}

int compareTexts(const QString& text1, const QString& text2, int sortType, bool ascending)
{
    int result;
    if (sortType == 2) {
        const double v1 = leadingNumber(text1);
        const double v2 = leadingNumber(text2);
        // A three-way comparison rather than the sign of v1 - v2: the
        // difference of two equal infinities is no number.
        result = v1 < v2 ? -1 : (v1 > v2 ? 1 : 0);
    } else {
        result = QString::compare(text1, text2, Qt::CaseInsensitive);
        result = result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    return ascending ? result : -result;
}

// Paints each row in its style's colours and each cell with its column's
// alignment; selected rows keep the active highlight without the focus.
class GridItemDelegate : public QStyledItemDelegate
{
public:
    explicit GridItemDelegate(CGridCtrl* grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const GridRowStyle* style = m_grid->GetRowStyle(index.row())) {
            if (!isDefaultColour(style->crText))
                option->palette.setColor(QPalette::Text, toQColor(style->crText));
            if (!isDefaultColour(style->crBack))
                option->backgroundBrush = QBrush(toQColor(style->crBack));
        }
        option->palette.setBrush(QPalette::Inactive, QPalette::Highlight,
                                 option->palette.brush(QPalette::Active, QPalette::Highlight));
        option->palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                                 option->palette.brush(QPalette::Active, QPalette::HighlightedText));
        int format = LVCFMT_LEFT;
        if (const QTableWidgetItem* head = m_grid->horizontalHeaderItem(index.column()))
            format = head->data(kFormatRole).toInt();
        option->displayAlignment = alignmentOf(format) | Qt::AlignVCenter;
    }

private:
    CGridCtrl* m_grid;
};

} // namespace

struct CGridCtrl::Impl
{
    GridNotifyHandler* handler = nullptr;
    int controlId = 0;
    // One style per row, in row order; unique_ptr keeps the addresses that
    // owners hold stable while rows come and go.
    std::vector<std::unique_ptr<GridRowStyle>> styles;
    QPointer<CGridCtrlEditCell> editor;
    // The focused row when the last button press began, before the press moved it.
    int focusedRowAtPress = -1;
    // Column whose border the user is dragging, -1 when none.
    int trackingColumn = -1;
    bool movingBack = false;
    bool silentSelection = false;
    bool settingIndicator = false;
    int indicatorColumn = -1;
    Qt::SortOrder indicatorOrder = Qt::AscendingOrder;
};

CGridCtrl::CGridCtrl(QWidget* parent)
    : QTableWidget(parent)
    , d(new Impl)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab goes on to the next control, as in a list; the arrows move within.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setItemDelegate(new GridItemDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSortIndicatorShown(false);
    header->viewport()->installEventFilter(this);

    connect(header, &QHeaderView::sectionClicked, this, &CGridCtrl::onColumnClicked);
    connect(header, &QHeaderView::sectionMoved, this, &CGridCtrl::onColumnMoved);
    // The header turns its own arrow on a click; only a real sort may move it.
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this] {
        if (!d->settingIndicator)
            applySortIndicator();
    });

    QAbstractItemModel* m = model();
    connect(m, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        dropEdit();
        for (int r = first; r <= last; ++r)
            d->styles.insert(d->styles.begin() + r, std::make_unique<GridRowStyle>());
    });
    connect(m, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex&, int first, int last) {
        dropEdit();
        d->styles.erase(d->styles.begin() + first, d->styles.begin() + last + 1);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CGridCtrl::onSelectionChanged);
    // The editor would float over other cells once the rows move.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { commitEdit(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { commitEdit(); });
}

CGridCtrl::~CGridCtrl()
{
    if (d->editor) {
        d->editor->m_finished = true;
        delete d->editor.data();
    }
    horizontalHeader()->viewport()->removeEventFilter(this);
    disconnect(model(), nullptr, this, nullptr);
    disconnect(selectionModel(), nullptr, this, nullptr);
    disconnect(horizontalHeader(), nullptr, this, nullptr);
    disconnect(verticalScrollBar(), nullptr, this, nullptr);
    disconnect(horizontalScrollBar(), nullptr, this, nullptr);
    delete d;
    d = nullptr;
}

void CGridCtrl::setNotifyHandler(GridNotifyHandler* handler, int controlId)
{
    d->handler = handler;
    d->controlId = controlId;
}

std::intptr_t CGridCtrl::notifyOwner(int code, int param1, int param2)
{
    if (!d->handler)
        return 0;
    GridNotify n;
    n.grid = this;
    n.idFrom = d->controlId;
    n.code = code;
    n.nParam1 = param1;
    n.nParam2 = param2;
    return d->handler->onGridNotify(n);
}

// ---- columns -------------------------------------------------------------

int CGridCtrl::InsertColumn(int column, const QString& heading, int format, int width)
{
    const int count = columnCount();
    if (column < 0)
        return -1;
    column = std::min(column, count);
    commitEdit();
    insertColumn(column);
    auto* head = new QTableWidgetItem(heading);
    if (format != LVCFMT_RIGHT && format != LVCFMT_CENTER)
        format = LVCFMT_LEFT;
    head->setData(kFormatRole, format);
    head->setTextAlignment(alignmentOf(format) | Qt::AlignVCenter);
    setHorizontalHeaderItem(column, head);
    if (width >= 0)
        setColumnWidth(column, width);
    else
        setColumnWidth(column, horizontalHeader()->sectionSizeHint(column));
    return column;
}

bool CGridCtrl::DeleteColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return false;
    commitEdit();
    removeColumn(column);
    return true;
}

int CGridCtrl::GetColumnCount() const
{
    return columnCount();
}

QString CGridCtrl::GetColumnText(int column) const
{
    if (column < 0 || column >= columnCount())
        return QString();
    const QTableWidgetItem* head = horizontalHeaderItem(column);
    return head ? head->text() : QString();
}

int CGridCtrl::GetColumnWidth(int column) const
{
    if (column < 0 || column >= columnCount())
        return 0;
    return columnWidth(column);
}

void CGridCtrl::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= columnCount() || width < 0)
        return;
    setColumnWidth(column, width);
}

// ---- rows ----------------------------------------------------------------

int CGridCtrl::AddRow()
{
    const int row = rowCount();
    insertRow(row);
    return rowCount() == row + 1 ? row : -1;
}

int CGridCtrl::InsertItem(int row, const QString& text)
{
    if (row < 0)
        return -1;
    row = std::min(row, rowCount());
    insertRow(row);
    SetItemText(row, 0, text);
    return row;
}

bool CGridCtrl::DeleteItem(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    removeRow(row);
    return true;
}

bool CGridCtrl::DeleteAllItems()
{
    setRowCount(0);
    return true;
}

int CGridCtrl::GetItemCount() const
{
    return rowCount();
}

bool CGridCtrl::SetItemText(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return false;
    if (QTableWidgetItem* it = item(row, column))
        it->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text));
    return true;
}

QString CGridCtrl::GetItemText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

GridRowStyle* CGridCtrl::GetRowStyle(int row)
{
    if (!d || row < 0 || row >= int(d->styles.size()))
        return nullptr;
    return d->styles[std::size_t(row)].get();
}

const GridRowStyle* CGridCtrl::GetRowStyle(int row) const
{
    return const_cast<CGridCtrl*>(this)->GetRowStyle(row);
}

// ---- selection -------------------------------------------------------------

void CGridCtrl::SetSelectedRow(int row)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    const QModelIndex index = model()->index(row, std::max(0, currentColumn()));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int CGridCtrl::GetNextSelectedRow(int after) const
{
    int best = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        const int candidate = std::max(range.top(), after + 1);
        if (candidate <= range.bottom() && (best < 0 || candidate < best))
            best = candidate;
    }
    return best;
}

int CGridCtrl::GetFirstSelectedRow() const
{
    return GetNextSelectedRow(-1);
}

void CGridCtrl::EnsureVisible(int row)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    const int column = std::max(0, columnAt(0));
    scrollTo(model()->index(row, column), QAbstractItemView::EnsureVisible);
}

void CGridCtrl::onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (!d || d->silentSelection)
        return;
    std::set<int> rows;
    for (const QItemSelectionRange& range : selected)
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.insert(r);
    for (int r : rows) {
        // The row counts as newly selected only when none of its cells was
        // selected before this change.
        bool wasSelected = false;
        for (int c = 0; c < columnCount() && !wasSelected; ++c) {
            const QModelIndex index = model()->index(r, c);
            wasSelected = deselected.contains(index)
                || (selectionModel()->isSelected(index) && !selected.contains(index));
        }
        if (!wasSelected)
            notifyOwner(GN_ROWSELECTED, r, 0);
    }
}

// ---- mouse -----------------------------------------------------------------

void CGridCtrl::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex current = currentIndex();
    d->focusedRowAtPress = current.isValid() ? current.row() : -1;
    QTableWidget::mousePressEvent(e);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const int row = rowAt(pos.y());
    const int column = columnAt(pos.x());
    // The first press of the pair has already moved the focus; what counts
    // is where it was before that press.
    const int focusedBefore = d->focusedRowAtPress;
    const bool left = e->button() == Qt::LeftButton;
    QTableWidget::mouseDoubleClickEvent(e);
    if (!left || row < 0 || row >= rowCount())
        return;
    if (row != focusedBefore) {
        if (columnCount() > 0) {
            const QModelIndex index = model()->index(row, column >= 0 ? column : 0);
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        // The next double click on this row may edit it.
        d->focusedRowAtPress = row;
        return;
    }
    if (m_bEditable)
        StartEdit(row, column);
}

void CGridCtrl::contextMenuEvent(QContextMenuEvent* e)
{
    QPoint global = e->globalPos();
    if (e->reason() == QContextMenuEvent::Keyboard)
        global = mapToGlobal(contentsRect().topLeft()) + QPoint(5, 5);
    notifyOwner(GN_CONTEXTMENU, global.x(), global.y());
    e->accept();
}

namespace {

// The column whose right border lies under x in the header, as the header
// itself decides which section a press there resizes; -1 when none.
int sectionHandleAt(const QHeaderView* header, int x)
{
    int visual = header->visualIndexAt(x);
    if (visual < 0)
        return -1;
    const int logical = header->logicalIndex(visual);
    const int start = header->sectionViewportPosition(logical);
    const int grip = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    bool atLeft = x < start + grip;
    bool atRight = x > start + header->sectionSize(logical) - grip;
    if (header->isRightToLeft())
        std::swap(atLeft, atRight);
    if (atLeft) {
        while (visual > 0) {
            const int previous = header->logicalIndex(--visual);
            if (!header->isSectionHidden(previous))
                return previous;
        }
        return -1;
    }
    return atRight ? logical : -1;
}

} // namespace

bool CGridCtrl::eventFilter(QObject* watched, QEvent* e)
{
    if (!d || watched != horizontalHeader()->viewport())
        return QTableWidget::eventFilter(watched, e);
    QHeaderView* header = horizontalHeader();
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        commitEdit();
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() != Qt::LeftButton)
            break;
        const int column = sectionHandleAt(header, me->position().toPoint().x());
        if (column < 0 || header->sectionResizeMode(column) != QHeaderView::Interactive)
            break;
        // A column of width 0 is a hidden one: it is not to be pulled open.
        if (header->sectionSize(column) == 0)
            return true;
        if (e->type() == QEvent::MouseButtonDblClick)
            break;
        if (notifyOwner(GN_BEGINCOLUMNTRACK, column, 0) != 0)
            return true;
        d->trackingColumn = column;
        break;
    }
    case QEvent::MouseButtonRelease: {
        const int column = d->trackingColumn;
        d->trackingColumn = -1;
        if (column >= 0 && column < columnCount() && header->sectionSize(column) != 0)
            notifyOwner(GN_COLUMNRESIZED, column, header->sectionSize(column));
        break;
    }
    default:
        break;
    }
    return QTableWidget::eventFilter(watched, e);
}

void CGridCtrl::onColumnMoved(int logical, int oldVisual, int newVisual)
{
    if (!d || d->movingBack)
        return;
    commitEdit();
    if (columnWidth(logical) == 0)
        return;
    if (notifyOwner(GN_COLUMNDRAGGED, logical, newVisual) == 1) {
        d->movingBack = true;
        horizontalHeader()->moveSection(newVisual, oldVisual);
        d->movingBack = false;
    }
}

// ---- editing ---------------------------------------------------------------

CGridCtrlEditCell* CGridCtrl::StartEdit(int row, int column)
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    commitEdit();
    // The owner may have refilled the grid while the old edit was committed.
    if (row >= rowCount() || column >= columnCount())
        return nullptr;
    const QModelIndex index = model()->index(row, column);
    scrollTo(index, QAbstractItemView::EnsureVisible);
    if (notifyOwner(GN_BEGINEDIT, row, column) == 0)
        return nullptr;
    if (row >= rowCount() || column >= columnCount())
        return nullptr;

    QTableWidgetItem* head = horizontalHeaderItem(column);
    const int format = head ? head->data(kFormatRole).toInt() : LVCFMT_LEFT;
    auto* edit = new CGridCtrlEditCell(this, row, column, GetItemText(row, column));
    edit->setAlignment(alignmentOf(format) | Qt::AlignVCenter);
    edit->setFont(font());
    edit->setGeometry(visualRect(index).adjusted(0, -2, 0, 2));
    d->editor = edit;
    edit->show();
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return edit;
}

void CGridCtrl::commitEdit()
{
    if (!d || !d->editor)
        return;
    CGridCtrlEditCell* edit = d->editor;
    d->editor = nullptr;
    if (edit->hasFocus())
        setFocus(Qt::OtherFocusReason);
    edit->finish();
}

void CGridCtrl::dropEdit()
{
    // Rows moved under the edit: its row index no longer names its cell.
    if (!d || !d->editor)
        return;
    d->editor->m_bCancel = true;
    commitEdit();
}

void CGridCtrl::endEdit(int row, int column, const QString* newText)
{
    if (d && d->editor && d->editor->m_finished)
        d->editor = nullptr;
    if (!newText || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return;
    const QString oldText = GetItemText(row, column);
    if (*newText == oldText)
        return;
    SetItemText(row, column, *newText);
    if (notifyOwner(GN_CELLCHANGED, row, column) == 0)
        SetItemText(row, column, oldText);
}

// ---- sorting ---------------------------------------------------------------

void CGridCtrl::onColumnClicked(int column)
{
    if (!d)
        return;
    if (column == m_nSortColumn)
        m_bAscending = !m_bAscending;
    else
        m_bAscending = true;
    SortByColumn(column, m_bAscending);
}

void CGridCtrl::applySortIndicator()
{
    QHeaderView* header = horizontalHeader();
    d->settingIndicator = true;
    if (d->indicatorColumn >= 0 && d->indicatorColumn < columnCount()) {
        header->setSortIndicator(d->indicatorColumn, d->indicatorOrder);
        header->setSortIndicatorShown(true);
    } else {
        header->setSortIndicatorShown(false);
        header->setSortIndicator(-1, Qt::AscendingOrder);
    }
    d->settingIndicator = false;
}

int CGridCtrl::CompareItems(int row1, int row2, const CGridCtrl* grid)
{
    const QString t1 = grid->GetItemText(row1, grid->m_nSortColumn);
    const QString t2 = grid->GetItemText(row2, grid->m_nSortColumn);
    return compareTexts(t1, t2, grid->m_nSortType, grid->m_bAscending);
}

bool CGridCtrl::SortByColumn(int column, bool ascending)
{
    if (!horizontalHeader()->sectionsClickable() || rowCount() == 0)
        return false;
    m_bAscending = ascending;
    m_nSortColumn = column;
    m_nSortType = int(notifyOwner(GN_GETSORTTYPE, column, ascending ? 1 : 0));
    if (m_nSortType == 0)
        return true;
    commitEdit();

    d->indicatorColumn = column;
    d->indicatorOrder = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    applySortIndicator();

    const int rows = rowCount();
    const int columns = columnCount();
    // Compare prepared keys: the texts are read once, not per comparison.
    std::vector<QString> keys(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        keys[std::size_t(r)] = GetItemText(r, column);
    std::vector<int> order(static_cast<std::size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compareTexts(keys[std::size_t(a)], keys[std::size_t(b)], m_nSortType, m_bAscending) < 0;
    });
    bool moved = false;
    for (int r = 0; r < rows && !moved; ++r)
        moved = order[std::size_t(r)] != r;
    if (!moved)
        return true;

    // Selection and focus stay with their rows, as they do with a list.
    std::set<int> selectedRows;
    for (int r = GetFirstSelectedRow(); r >= 0; r = GetNextSelectedRow(r))
        selectedRows.insert(r);
    const QModelIndex current = currentIndex();

    std::vector<std::vector<QTableWidgetItem*>> items(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        items[std::size_t(r)].resize(std::size_t(columns));
        for (int c = 0; c < columns; ++c)
            items[std::size_t(r)][std::size_t(c)] = takeItem(r, c);
    }
    std::vector<std::unique_ptr<GridRowStyle>> styles(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        const int from = order[std::size_t(r)];
        for (int c = 0; c < columns; ++c)
            if (QTableWidgetItem* it = items[std::size_t(from)][std::size_t(c)])
                setItem(r, c, it);
        styles[std::size_t(r)] = std::move(d->styles[std::size_t(from)]);
    }
    d->styles = std::move(styles);

    d->silentSelection = true;
    QItemSelection selection;
    int newCurrent = -1;
    for (int r = 0; r < rows; ++r) {
        const int from = order[std::size_t(r)];
        if (selectedRows.count(from) && columns > 0)
            selection.select(model()->index(r, 0), model()->index(r, columns - 1));
        if (current.isValid() && current.row() == from)
            newCurrent = r;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (newCurrent >= 0)
        selectionModel()->setCurrentIndex(model()->index(newCurrent, current.column()),
                                          QItemSelectionModel::NoUpdate);
    d->silentSelection = false;
    return true;
}
