#include "platform/CompoundFile.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// Any bytes through the compound-file reader: open, then read every stream.
// A file that opens has had every chain checked, so a failed read is a bug.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Not copied: an overrun past the input is caught by the sanitizer exactly.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    CompoundFile cf;
    if (!cf.openBytes(bytes))
        return 0;
    for (const QString& name : cf.streamNames()) {
        QByteArray stream;
        if (!cf.readStream(name, stream) || stream.size() != cf.streamSize(name))
            __builtin_trap();
    }
    return 0;
}
