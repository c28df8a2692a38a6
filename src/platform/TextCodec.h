#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251, the 8-bit code page of the chromatography files and archives.
namespace textcodec {

QString fromCp1251(const char* data, qsizetype size);
inline QString fromCp1251(const QByteArray& bytes) { return fromCp1251(bytes.constData(), bytes.size()); }
// Characters that Windows-1251 cannot hold become '?'.
QByteArray toCp1251(const QString& text);

} // namespace textcodec
