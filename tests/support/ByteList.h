#pragma once

#include <QByteArray>

#include <initializer_list>

namespace testsupport {

// Fixture bytes written out one by one, so that a fixture cannot share a
// misreading with the writer under test.
inline QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(static_cast<char>(b));
    return out;
}

} // namespace testsupport
