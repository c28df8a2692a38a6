#include "calc/CondensateTemperature.h"

#include "data/ChromatogramSlot.h"
#include "data/MessageLog.h"
#include "data/TempComponents.h"

TemperatureResult CalcDcTemperature::Calculate(const KnownPeakMap& peaks, const CalcEnvironment& env)
{
    m_working.clear();
    TemperatureResult result;
    result.nParallel = 1;

    const auto known = peaks.find(SlotDcTemperature);
    if (known != peaks.end())
        m_working[SlotDcTemperature] = std::list<PeakItem>(known->second.begin(), known->second.end());
    if (m_working.empty()) {
        result.hasError = true;
        env.log.AddMessage(MessageError, QStringLiteral("%1: Температурная хроматограмма не задана.")
                                             .arg(ChromatogramSlotName(SlotDcTemperature)));
        return result;
    }

    std::list<PeakItem>& items = m_working.begin()->second;
    for (auto it = items.begin(); it != items.end();) {
        const TempComponent* marker = env.temperatures.FindBySearchName(it->name);
        if (!marker) {
            ++it;
            continue;
        }
        TemperatureRow row;
        row.id = static_cast<std::uint32_t>(marker->id);
        row.name = marker->name;
        row.searchName = marker->searchName;
        row.temperature = marker->temperature;
        row.retentionTime = it->retentionTime;
        result.rows.push_back(std::move(row));
        it = items.erase(it);
    }

    for (const QString& text : CollectUnusedPeakWarnings(m_working))
        env.log.AddMessage(MessageInfo, text);
    return result;
}
