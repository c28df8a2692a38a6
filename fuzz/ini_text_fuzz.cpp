// libFuzzer entry for the profile's ini text: any bytes are read; what is
// read must come back unchanged through a write and a second read.

#include "platform/IniText.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QSettings::SettingsMap first = ReadIniText(bytes);
    const QSettings::SettingsMap second = ReadIniText(WriteIniText(first));
    if (second.size() != first.size())
        __builtin_trap();
    for (auto a = first.cbegin(), b = second.cbegin(); a != first.cend(); ++a, ++b) {
        if (a.key() != b.key() || a.value().typeId() != b.value().typeId() || a.value() != b.value())
            __builtin_trap();
    }
    return 0;
}
