#include "ui/GridCtrl.h"

#include <QKeyEvent>

CGridCtrlEditCell::CGridCtrlEditCell(CGridCtrl* grid, int row, int column, const QString& text)
    : QLineEdit(grid->viewport())
    , m_nRow(row)
    , m_nColumn(column)
    , m_strText(text)
    , m_grid(grid)
{
    setFrame(true);
    setText(text);
}

namespace {

bool isEditorKey(const QKeyEvent* k)
{
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return true;
    default:
        return (k->modifiers() & Qt::ControlModifier) != 0;
    }
}

} // namespace

bool CGridCtrlEditCell::event(QEvent* e)
{
    // Claiming these keys keeps them from the dialog's shortcuts and
    // default and cancel buttons.
    if (e->type() == QEvent::ShortcutOverride && isEditorKey(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QLineEdit::event(e);
}

void CGridCtrlEditCell::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        m_bCancel = true;
        [[fallthrough]];
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->accept();
        if (m_grid)
            m_grid->setFocus(Qt::OtherFocusReason);
        finish();
        return;
    default:
        QLineEdit::keyPressEvent(e);
        // Keys the edit has no use for (arrows up and down among them) must
        // not move the grid's rows under the open edit.
        e->accept();
        return;
    }
}

void CGridCtrlEditCell::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // The edit's own context menu takes the focus for a moment only.
    if (e->reason() == Qt::PopupFocusReason)
        return;
    finish();
}

void CGridCtrlEditCell::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    const QString current = text();
    if (hasFocus() && m_grid)
        m_grid->setFocus(Qt::OtherFocusReason);
    hide();
    if (m_grid)
        m_grid->endEdit(m_nRow, m_nColumn, m_bCancel ? nullptr : &current);
    deleteLater();
}
