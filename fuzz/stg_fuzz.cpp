// libFuzzer entry for chromatogram files. The first byte picks the route:
// even - the rest is a whole compound file, opened as a chromatogram and read
//        for its passport alone;
// odd  - the rest is four little-endian u16 lengths, then the "Raw_data",
//        "Time", "Table" and "Passport" streams back to back (the last one
//        takes whatever remains), so the stream readers see structured input
//        without the container in the way.

#include "data/ChmFile.h"
#include "data/Passport.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // Not copied: a read past the input is caught by the sanitizer exactly.
    const QByteArray rest = QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1),
                                                    static_cast<qsizetype>(size - 1));

    if ((data[0] & 1) == 0) {
        COpenedChmFile file;
        file.OpenBytes(rest);
        CPassport passport;
        ReadPassportOnlyFromBytes(passport, rest);
        return 0;
    }

    if (rest.size() < 8)
        return 0;
    qsizetype pos = 8;
    QByteArray streams[4];
    for (int i = 0; i < 4; ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(rest.constData()) + 2 * i;
        const qsizetype wanted = p[0] | (p[1] << 8);
        const qsizetype length = i == 3 ? rest.size() - pos : qMin(wanted, rest.size() - pos);
        streams[i] = QByteArray::fromRawData(rest.constData() + pos, length);
        pos += length;
    }
    COpenedChmFile file;
    file.LoadStreams(streams[0], streams[1], streams[2], streams[3], QStringLiteral("fuzz"));
    return 0;
}
