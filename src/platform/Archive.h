#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>

// The class library's binary archive: little-endian numbers, length-prefixed
// strings (8-bit Windows-1251 or UTF-16LE) and times. Readers work over bytes
// already in memory and check every length against what remains before they
// allocate, so a damaged length can never make them allocate without bound.

class ArchiveException : public std::runtime_error
{
public:
    enum class Cause { EndOfFile, BadIndex, BadLength };
    ArchiveException(Cause cause, const std::string& what)
        : std::runtime_error(what), m_cause(cause) {}
    Cause cause() const { return m_cause; }

private:
    Cause m_cause;
};

class ArchiveReader
{
public:
    explicit ArchiveReader(const QByteArray& bytes, qsizetype offset = 0);

    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return remaining() == 0; }

    // Every read throws ArchiveException(EndOfFile) when the bytes run out.
    std::uint8_t readU8();
    std::uint16_t readU16();
    std::uint32_t readU32();
    std::int32_t readI32();
    std::int64_t readI64();
    std::uint64_t readU64();
    float readFloat();
    double readDouble();
    QByteArray readBytes(qsizetype count);
    void skip(qsizetype count);

    // Archive string: 8-bit (Windows-1251) or, after the FF FE marker, UTF-16LE.
    QString readString();
    // Archive time: an i32; the marker 0x8000000A announces an i64 that follows.
    // Seconds since 1970-01-01 00:00 UTC.
    std::int64_t readTime();

    // Throws EndOfFile unless count more bytes remain.
    void require(std::uint64_t count) const;

private:
    const char* take(qsizetype count);

    QByteArray m_data;
    qsizetype m_pos = 0;
};

class ArchiveWriter
{
public:
    const QByteArray& bytes() const { return m_data; }

    void writeU8(std::uint8_t v);
    void writeU16(std::uint16_t v);
    void writeU32(std::uint32_t v);
    void writeI32(std::int32_t v);
    void writeI64(std::int64_t v);
    void writeU64(std::uint64_t v);
    void writeFloat(float v);
    void writeDouble(double v);
    void writeBytes(const QByteArray& bytes);

    // Writes the text as UTF-16LE behind the FF FE marker and the shortest length prefix.
    void writeWideString(const QString& text);
    // Writes the text as Windows-1251 behind the shortest length prefix.
    void writeAnsiString(const QString& text);
    // Writes the 0x8000000A marker followed by the 64-bit time.
    void writeTime(std::int64_t secondsSinceEpoch);
    // Writes the older form: the time as one i32.
    void writeTime32(std::int32_t secondsSinceEpoch);

private:
    void writeLength(std::uint64_t length);
    QByteArray m_data;
};
