#include "data/MainDialogProfile.h"

#include "platform/Profile.h"

#include <QtEndian>

#include <cstdint>
#include <limits>

namespace {

const QString kRecentSection = QStringLiteral("RecentChrms");
const QString kWindowState = QStringLiteral("WState");
constexpr int kWindowStateSize = 16;

} // namespace

QStringList LoadRecentChromatograms(const Profile& profile)
{
    QStringList paths;
    for (int i = 0;; ++i) {
        const QString path = profile.readString(kRecentSection, QString::number(i), QString());
        if (path.isEmpty())
            break;
        paths.append(path);
    }
    return paths;
}

void SaveRecentChromatograms(Profile& profile, const QStringList& paths)
{
    profile.deleteSection(kRecentSection);
    for (int i = 0; i < paths.size(); ++i)
        profile.writeString(kRecentSection, QString::number(i), paths[i]);
}

std::optional<QRect> LoadWindowState(const Profile& profile)
{
    const QByteArray bytes = profile.readBinary(QString(), kWindowState);
    if (bytes.size() != kWindowStateSize)
        return std::nullopt;
    std::int32_t edge[4];
    for (int i = 0; i < 4; ++i)
        edge[i] = qFromLittleEndian<std::int32_t>(bytes.constData() + 4 * i);
    // 64-bit differences: edges far apart must not overflow into a valid size.
    const std::int64_t width = std::int64_t(edge[2]) - edge[0];
    const std::int64_t height = std::int64_t(edge[3]) - edge[1];
    if (width <= 0 || height <= 0 || width > std::numeric_limits<std::int32_t>::max() || height > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return QRect(edge[0], edge[1], static_cast<int>(width), static_cast<int>(height));
}

void SaveWindowState(Profile& profile, const QRect& rect)
{
    QByteArray bytes(kWindowStateSize, '\0');
    const std::int64_t edge[4] = {rect.left(), rect.top(), std::int64_t(rect.left()) + rect.width(),
                                  std::int64_t(rect.top()) + rect.height()};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian<std::int32_t>(static_cast<std::int32_t>(edge[i]), bytes.data() + 4 * i);
    profile.writeBinary(QString(), kWindowState, bytes);
}
