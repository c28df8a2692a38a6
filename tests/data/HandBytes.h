#pragma once

#include <QByteArray>

#include <cstdint>
#include <initializer_list>

// Spells out fixture bytes one by one, little-endian, without the archive
// writer, so that a fixture cannot share a misreading with the code it tests.
// Doubles are given by their bit patterns.
class HandBytes
{
public:
    HandBytes& bytes(std::initializer_list<int> list)
    {
        for (int b : list)
            m_data.append(static_cast<char>(b));
        return *this;
    }
    HandBytes& text(const char* latin1)
    {
        m_data.append(latin1);
        return *this;
    }
    HandBytes& u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_data.append(static_cast<char>((v >> (8 * i)) & 0xFF));
        return *this;
    }
    HandBytes& f64bits(std::uint64_t bits)
    {
        for (int i = 0; i < 8; ++i)
            m_data.append(static_cast<char>((bits >> (8 * i)) & 0xFF));
        return *this;
    }
    HandBytes& zeros(int count)
    {
        m_data.append(QByteArray(count, '\0'));
        return *this;
    }
    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

// Bit patterns of the doubles the fixtures use.
namespace bits {
constexpr std::uint64_t k0_25 = 0x3FD0000000000000ull;
constexpr std::uint64_t k0_5 = 0x3FE0000000000000ull;
constexpr std::uint64_t k1 = 0x3FF0000000000000ull;
constexpr std::uint64_t k1_5 = 0x3FF8000000000000ull;
constexpr std::uint64_t k2 = 0x4000000000000000ull;
constexpr std::uint64_t k2_5 = 0x4004000000000000ull;
constexpr std::uint64_t k3 = 0x4008000000000000ull;
constexpr std::uint64_t k4 = 0x4010000000000000ull;
constexpr std::uint64_t k5 = 0x4014000000000000ull;
constexpr std::uint64_t k6 = 0x4018000000000000ull;
constexpr std::uint64_t k7 = 0x401C000000000000ull;
constexpr std::uint64_t k8 = 0x4020000000000000ull;
constexpr std::uint64_t k100 = 0x4059000000000000ull;
} // namespace bits
