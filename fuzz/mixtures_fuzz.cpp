// libFuzzer entry for the cylinder database: any bytes are read as the
// archive; every cylinder read must come back field for field through a
// write and a second read.

#include "data/Mixtures.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameCylinder(const MixtureData& a, const MixtureData& b)
{
    if (a.number != b.number || a.name != b.name || a.identifier != b.identifier || a.date != b.date
        || a.type != b.type || a.components.size() != b.components.size())
        return false;
    for (std::size_t i = 0; i < a.components.size(); ++i) {
        const MixCompData& x = a.components[i];
        const MixCompData& y = b.components[i];
        if (x.number != y.number || x.name != y.name || !sameBits(x.concentration, y.concentration)
            || !sameBits(x.uncertainty, y.uncertainty))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Not copied: a read past the input is caught by the sanitizer exactly.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const MixturesArchiveContent first = ReadMixturesArchive(bytes);
    const MixturesArchiveContent second = ReadMixturesArchive(WriteMixturesArchive(first.mixtures));
    if (!second.complete || second.mixtures.size() != first.mixtures.size())
        __builtin_trap();
    for (std::size_t i = 0; i < first.mixtures.size(); ++i) {
        if (!sameCylinder(*first.mixtures[i], *second.mixtures[i]))
            __builtin_trap();
    }
    return 0;
}
