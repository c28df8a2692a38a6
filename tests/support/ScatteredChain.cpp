#include "support/ScatteredChain.h"

namespace testsupport {

void scatterStreamChain(QByteArray& file, const CfbLayout& layout, int streamIndex, const std::vector<int>& order)
{
    const quint32 first = layout.streamStart[streamIndex];
    const qint64 sector = layout.sectorSize;
    QList<QByteArray> chunks;
    for (size_t k = 0; k < order.size(); ++k)
        chunks.append(file.mid(layout.sectorOffset(first + quint32(k)), sector));
    for (size_t k = 0; k < order.size(); ++k) {
        const quint32 at = first + quint32(order[k]);
        file.replace(layout.sectorOffset(at), sector, chunks[qsizetype(k)]);
        const quint32 next = k + 1 < order.size() ? first + quint32(order[k + 1]) : 0xFFFFFFFEu;
        putLe32(file, layout.fatEntryOffset(at), next);
    }
}

} // namespace testsupport
