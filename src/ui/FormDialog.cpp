#include "ui/FormDialog.h"

#include "ui/WindowPlacement.h"

#include <QResizeEvent>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <limits>

CFormDialog::CFormDialog(QWidget* parent)
    : QDialog(parent)
{
}

void CFormDialog::AddResizeControl(int id, QWidget* control, int horizontal, int vertical)
{
    if (!control)
        return;
    const QRect g = control->geometry();
    CResizeAction action;
    action.left = g.x();
    action.top = g.y();
    action.right = g.x() + g.width();
    action.bottom = g.y() + g.height();
    action.vertical = vertical;
    action.horizontal = horizontal;
    action.control = control;
    m_mapResize[id] = action;
}

int CFormDialog::MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / c;
    const std::int64_t remainder = product % c;
    if (2 * std::llabs(remainder) >= std::llabs(static_cast<std::int64_t>(c)))
        quotient += (product < 0) != (c < 0) ? -1 : 1;
    if (quotient < std::numeric_limits<int>::min() || quotient > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(quotient);
}

QRect CFormDialog::ResizedRect(const CResizeAction& a, int dx, int dy, const QSize& initialClient)
{
    int left = a.left;
    int right = a.right;
    int top = a.top;
    int bottom = a.bottom;
    const int w = initialClient.width();
    const int h = initialClient.height();

    switch (a.horizontal) {
    case ResizeMove:
        left += dx;
        right += dx;
        break;
    case ResizeGrow:
        right += dx;
        break;
    case ResizeMoveShare: {
        const int shift = MulDiv(dx, a.left, w);
        left += shift;
        right += shift;
        break;
    }
    case ResizeMoveGrowShare: {
        const int shift = MulDiv(dx, a.left, w);
        left += shift;
        right += shift + MulDiv(dx, a.right - a.left, w);
        break;
    }
    default:
        break;
    }
    switch (a.vertical) {
    case ResizeMove:
        top += dy;
        bottom += dy;
        break;
    case ResizeGrow:
        bottom += dy;
        break;
    case ResizeMoveShare: {
        const int shift = MulDiv(dy, a.top, h);
        top += shift;
        bottom += shift;
        break;
    }
    case ResizeMoveGrowShare: {
        const int shift = MulDiv(dy, a.top, h);
        top += shift;
        bottom += shift + MulDiv(dy, a.bottom - a.top, h);
        break;
    }
    default:
        break;
    }
    return QRect(left, top, right - left, bottom - top);
}

void CFormDialog::OnCreate()
{
    m_rcInitial = QRect(QPoint(0, 0), size());
    if (m_bLimitSize) {
        m_nMinWidth = width();
        m_nMinHeight = height();
        setMinimumSize(m_nMinWidth, m_nMinHeight);
    }
    // On a screen too small for it the controls follow the smaller client
    // as they follow a larger one.
    FitToScreen(*this);
}

void CFormDialog::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (m_rcInitial.isEmpty())
        return;
    const int dx = width() - m_rcInitial.width();
    const int dy = height() - m_rcInitial.height();
    for (const auto& [id, action] : m_mapResize) {
        if (action.control)
            action.control->setGeometry(ResizedRect(action, dx, dy, m_rcInitial.size()));
    }
    update();
}
