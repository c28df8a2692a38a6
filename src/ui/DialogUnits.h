#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QSize>

// Dialog layouts are drawn in dialog units: a quarter of the font's average
// character width across, an eighth of its height down, so a dialog keeps its
// proportions in any font.
class DialogUnits
{
public:
    explicit DialogUnits(const QFontMetrics& metrics)
        : m_baseX(
              (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1)
              / 2)
        , m_baseY(metrics.height())
    {
    }

    int x(int units) const { return (units * m_baseX + 2) / 4; }
    int y(int units) const { return (units * m_baseY + 4) / 8; }
    QSize size(int width, int height) const { return QSize(x(width), y(height)); }
    QRect rect(int left, int top, int width, int height) const
    {
        const int l = x(left);
        const int t = y(top);
        return QRect(l, t, x(left + width) - l, y(top + height) - t);
    }

private:
    int m_baseX;
    int m_baseY;
};
