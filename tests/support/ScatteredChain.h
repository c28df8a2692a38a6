#pragma once

#include "support/CfbWriter.h"

#include <QByteArray>

#include <vector>

namespace testsupport {

// Rewrites a compound file from buildCompoundFile() so that the chain of one
// of its regular (not mini) streams no longer runs through consecutive
// sectors: chain position k moves to the stream's first sector + order[k].
// order must permute 0 .. n - 1 for a stream of n sectors and keep
// order[0] == 0, since the directory names the first sector. The stream's
// bytes read back the same; only where they lie changes.
void scatterStreamChain(QByteArray& file, const CfbLayout& layout, int streamIndex, const std::vector<int>& order);

} // namespace testsupport
