#include "platform/Archive.h"

#include "platform/TextCodec.h"

#include <QtEndian>

#include <cstring>

namespace {
constexpr std::uint32_t kTime64Marker = 0x8000000Au;
}

ArchiveReader::ArchiveReader(const QByteArray& bytes, qsizetype offset)
    : m_data(bytes), m_pos(qBound<qsizetype>(0, offset, bytes.size()))
{
}

void ArchiveReader::require(std::uint64_t count) const
{
    if (count > static_cast<std::uint64_t>(remaining()))
        throw ArchiveException(ArchiveException::Cause::EndOfFile, "archive ends before the data it announces");
}

const char* ArchiveReader::take(qsizetype count)
{
    require(static_cast<std::uint64_t>(count));
    const char* p = m_data.constData() + m_pos;
    m_pos += count;
    return p;
}

std::uint8_t ArchiveReader::readU8() { return static_cast<std::uint8_t>(*take(1)); }
std::uint16_t ArchiveReader::readU16() { return qFromLittleEndian<quint16>(take(2)); }
std::uint32_t ArchiveReader::readU32() { return qFromLittleEndian<quint32>(take(4)); }
std::int32_t ArchiveReader::readI32() { return qFromLittleEndian<qint32>(take(4)); }
std::int64_t ArchiveReader::readI64() { return qFromLittleEndian<qint64>(take(8)); }
std::uint64_t ArchiveReader::readU64() { return qFromLittleEndian<quint64>(take(8)); }

float ArchiveReader::readFloat()
{
    const std::uint32_t bits = readU32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double ArchiveReader::readDouble()
{
    const std::uint64_t bits = readU64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArray ArchiveReader::readBytes(qsizetype count)
{
    if (count < 0)
        throw ArchiveException(ArchiveException::Cause::BadLength, "negative byte count");
    const char* p = take(count);
    return QByteArray(p, count);
}

void ArchiveReader::skip(qsizetype count)
{
    if (count < 0)
        throw ArchiveException(ArchiveException::Cause::BadLength, "negative byte count");
    take(count);
}

QString ArchiveReader::readString()
{
    bool wide = false;
    std::uint64_t length = readU8();
    if (length == 0xFF) {
        length = readU16();
        if (length == 0xFFFE) {
            wide = true;
            length = readU8();
            if (length == 0xFF)
                length = readU16();
        }
        if (length == 0xFFFF) {
            length = readU32();
            if (length == 0xFFFFFFFFu)
                length = readU64();
        }
    }
    // Check the announced size against what is left before allocating anything.
    const std::uint64_t bytes = wide ? length * 2 : length;
    if (wide && length > (std::uint64_t(1) << 62))
        throw ArchiveException(ArchiveException::Cause::EndOfFile, "string length beyond the archive");
    require(bytes);
    const char* p = take(static_cast<qsizetype>(bytes));
    if (!wide)
        return textcodec::fromCp1251(p, static_cast<qsizetype>(length));
    QString out(static_cast<qsizetype>(length), Qt::Uninitialized);
    QChar* dst = out.data();
    for (std::uint64_t i = 0; i < length; ++i)
        dst[i] = QChar(qFromLittleEndian<quint16>(p + 2 * i));
    return out;
}

std::int64_t ArchiveReader::readTime()
{
    const std::int32_t v = readI32();
    if (static_cast<std::uint32_t>(v) == kTime64Marker)
        return readI64();
    return v;
}

void ArchiveWriter::writeU8(std::uint8_t v) { m_data.append(static_cast<char>(v)); }

void ArchiveWriter::writeU16(std::uint16_t v)
{
    char b[2];
    qToLittleEndian<quint16>(v, b);
    m_data.append(b, 2);
}

void ArchiveWriter::writeU32(std::uint32_t v)
{
    char b[4];
    qToLittleEndian<quint32>(v, b);
    m_data.append(b, 4);
}

void ArchiveWriter::writeI32(std::int32_t v) { writeU32(static_cast<std::uint32_t>(v)); }

void ArchiveWriter::writeU64(std::uint64_t v)
{
    char b[8];
    qToLittleEndian<quint64>(v, b);
    m_data.append(b, 8);
}

void ArchiveWriter::writeI64(std::int64_t v) { writeU64(static_cast<std::uint64_t>(v)); }

void ArchiveWriter::writeFloat(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof v);
    writeU32(bits);
}

void ArchiveWriter::writeDouble(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof v);
    writeU64(bits);
}

void ArchiveWriter::writeBytes(const QByteArray& bytes) { m_data.append(bytes); }

void ArchiveWriter::writeLength(std::uint64_t length)
{
    if (length < 0xFF) {
        writeU8(static_cast<std::uint8_t>(length));
        return;
    }
    writeU8(0xFF);
    if (length < 0xFFFE) {
        writeU16(static_cast<std::uint16_t>(length));
        return;
    }
    writeU16(0xFFFF);
    if (length < 0xFFFFFFFFu) {
        writeU32(static_cast<std::uint32_t>(length));
        return;
    }
    writeU32(0xFFFFFFFFu);
    writeU64(length);
}

void ArchiveWriter::writeWideString(const QString& text)
{
    writeU8(0xFF);
    writeU16(0xFFFE);
    writeLength(static_cast<std::uint64_t>(text.size()));
    for (QChar c : text)
        writeU16(c.unicode());
}

void ArchiveWriter::writeAnsiString(const QString& text)
{
    const QByteArray bytes = textcodec::toCp1251(text);
    writeLength(static_cast<std::uint64_t>(bytes.size()));
    m_data.append(bytes);
}

void ArchiveWriter::writeTime(std::int64_t secondsSinceEpoch)
{
    writeU32(kTime64Marker);
    writeI64(secondsSinceEpoch);
}

void ArchiveWriter::writeTime32(std::int32_t secondsSinceEpoch) { writeI32(secondsSinceEpoch); }
