#pragma once

#include <QStringList>

namespace testsupport {

// The column captions of a grid or of a table description, in column order.
template <typename Columns>
QStringList ColumnCaptions(const Columns& columns)
{
    QStringList captions;
    for (int c = 0; c < columns.GetColumnCount(); ++c)
        captions << columns.GetColumnText(c);
    return captions;
}

} // namespace testsupport
