#include "data/MessageLog.h"

#include "platform/Profile.h"

namespace {

const QString kHeadingErrors = QStringLiteral("Ошибки!");
const QString kHeadingWarnings = QStringLiteral("Предупреждения!");
const QString kHeadingInfos = QStringLiteral("Информация!");
const QString kNoMessages = QStringLiteral("Предупреждений и ошибок нет.");

const QString kKeyErrors = QStringLiteral("EnableError");
const QString kKeyWarnings = QStringLiteral("EnableWarning");
const QString kKeyInfos = QStringLiteral("EnableInfo");

} // namespace

void MessageLog::AddMessage(MessageKind kind, const QString& message)
{
    m_noMessages = false;
    switch (kind) {
    case MessageError:
        m_errors.push_back(message);
        break;
    case MessageWarning:
        m_warnings.push_back(message);
        break;
    case MessageInfo:
        m_infos.push_back(message);
        break;
    }
}

void MessageLog::ClearMessages()
{
    m_noMessages = true;
    m_errors.clear();
    m_warnings.clear();
    m_infos.clear();
}

const QString& MessageLog::BuildMessageText()
{
    m_text.clear();
    if (m_noMessages) {
        // Said whatever the filters, so a clean run is never a blank page.
        m_text = kNoMessages;
        return m_text;
    }
    const struct {
        int show;
        const QString& heading;
        const std::vector<QString>& list;
    } kinds[] = {
        {m_showErrors, kHeadingErrors, m_errors},
        {m_showWarnings, kHeadingWarnings, m_warnings},
        {m_showInfos, kHeadingInfos, m_infos},
    };
    // One count for the whole page: hidden kinds take no numbers.
    unsigned k = 0;
    for (const auto& kind : kinds) {
        if (kind.show <= 0 || kind.list.empty())
            continue;
        m_text += kind.heading + QStringLiteral("\r\n");
        for (const QString& message : kind.list)
            m_text += QStringLiteral("    ") + QString::number(++k) + QStringLiteral(". ") + message
                      + QStringLiteral("\r\n");
    }
    return m_text;
}

std::vector<QString> MessageLog::CollectReportMessages() const
{
    std::vector<QString> lines;
    const struct {
        const QString& heading;
        const std::vector<QString>& list;
    } kinds[] = {
        {kHeadingErrors, m_errors},
        {kHeadingWarnings, m_warnings},
        {kHeadingInfos, m_infos},
    };
    unsigned k = 0;
    for (const auto& kind : kinds) {
        if (kind.list.empty())
            continue;
        lines.push_back(kind.heading);
        for (const QString& message : kind.list)
            lines.push_back(QString::number(++k) + QStringLiteral(". ") + message);
    }
    return lines;
}

void MessageLog::LoadFilters(const Profile& profile)
{
    m_showErrors = profile.readInt(QString(), kKeyErrors, 1);
    m_showWarnings = profile.readInt(QString(), kKeyWarnings, 1);
    m_showInfos = profile.readInt(QString(), kKeyInfos, 1);
}

void MessageLog::SaveFilters(Profile& profile) const
{
    profile.writeInt(QString(), kKeyErrors, m_showErrors);
    profile.writeInt(QString(), kKeyWarnings, m_showWarnings);
    profile.writeInt(QString(), kKeyInfos, m_showInfos);
}
