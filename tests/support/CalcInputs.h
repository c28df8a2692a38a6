#pragma once

// In-memory inputs of a recalculation: records with their peak tables,
// cylinders, and the reference tables as the program builds them.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calc/CondensateRow.h"
#include "data/ChromatogramRecord.h"
#include "data/GasComponents.h"
#include "data/Mixtures.h"
#include "data/TempComponents.h"
#include "support/QtPrint.h"

namespace calc_inputs {

struct Peak
{
    QString name;
    double area = 0.0;
    double concentration = 0.0;
};

// A recognised peak as the calculators take it, with only a name and a
// concentration.
inline PeakItem ConcPeak(const char* name, double concentration)
{
    PeakItem item;
    item.name = QString::fromUtf8(name);
    item.concentration = concentration;
    return item;
}

// A record of the given role whose peak table holds the peaks in this order,
// half a minute apart; a calibration run's sample names its cylinder.
inline ChromatogramRecord Record(int role, const QString& path, std::initializer_list<Peak> peaks,
                                 const QString& sample = QString())
{
    ChromatogramRecord record;
    record.role = role;
    record.path = path;
    record.sample = sample;
    double apex = 1.0;
    for (const Peak& p : peaks) {
        cmpeek peak;
        peak.name = p.name;
        peak.area = p.area;
        peak.concentration = p.concentration;
        peak.apexTime = apex;
        peak.startTime = apex - 0.1;
        peak.endTime = apex + 0.1;
        record.peakTable.peaks().push_back(peak);
        apex += 0.5;
    }
    return record;
}

// A cylinder of the kind (1 separator gas, 2 degassing gas) with its
// certified components, mol %.
inline MixturePtr Cylinder(int type, const QString& name, std::initializer_list<std::pair<QString, double>> components)
{
    auto mixture = std::make_shared<MixtureData>();
    mixture->type = type;
    mixture->name = name;
    mixture->identifier = name;
    std::int32_t number = 1;
    for (const auto& [componentName, concentration] : components) {
        MixCompData component;
        component.number = number++;
        component.name = componentName;
        component.concentration = concentration;
        component.uncertainty = 0.0;
        mixture->components.push_back(component);
    }
    return mixture;
}

// The built-in catalogue and boiling-temperature table, owned by the test.
struct ReferenceTables
{
    GasComponentTable gas;
    TempComponentTable temp;

    ReferenceTables()
    {
        gas.Build(nullptr);
        temp.Build(nullptr);
    }
};

// A catalogue of only the named components, numbered from 1 in this order;
// the names are the literals themselves, not copies on the heap.
inline std::unique_ptr<GasComponentTable> SmallCatalogue(std::initializer_list<const char16_t*> names)
{
    auto table = std::make_unique<GasComponentTable>();
    for (const char16_t* name : names) {
        const QString text = QString::fromRawData(reinterpret_cast<const QChar*>(name),
                                                  static_cast<qsizetype>(std::char_traits<char16_t>::length(name)));
        table->AddGasComponent(QString(), text, 0.0, 0.0);
    }
    return table;
}

// Runs `run` on a small catalogue of the first names, then on one of the
// second, made while the first stands (so none of its records takes a freed
// one's place) and used once the first is gone. A calculator that kept
// pointers into the first reads its old ids and names: the names are
// literals, so no string of it is freed.
template <typename Run>
std::unique_ptr<GasComponentTable> RunOnSecondCatalogue(std::initializer_list<const char16_t*> first,
                                                        std::initializer_list<const char16_t*> second, Run run)
{
    std::unique_ptr<GasComponentTable> old = SmallCatalogue(first);
    run(*old);
    std::unique_ptr<GasComponentTable> fresh = SmallCatalogue(second);
    old.reset();
    run(*fresh);
    return fresh;
}

// A calibration curve of the condensate temperature scale: one row per
// (retention time in min, boiling temperature in °C), in this order.
inline TemperatureResult TemperatureCurve(const std::vector<std::pair<double, double>>& timeAndTemperature)
{
    TemperatureResult result;
    for (const auto& [time, temperature] : timeAndTemperature) {
        TemperatureRow row;
        row.retentionTime = time;
        row.temperature = temperature;
        result.rows.push_back(row);
    }
    return result;
}

// Message texts as the log holds them.
inline std::vector<QString> Texts(std::initializer_list<const char*> texts)
{
    std::vector<QString> out;
    for (const char* t : texts)
        out.push_back(QString::fromUtf8(t));
    return out;
}

// The texts that do (Only) or do not (Except) begin with the prefix: a test
// of one stage picks its messages out of a whole recalculation's.
inline std::vector<QString> Select(const std::vector<QString>& texts, const char* prefix, bool keep)
{
    std::vector<QString> out;
    for (const QString& t : texts) {
        if (t.startsWith(QString::fromUtf8(prefix)) == keep)
            out.push_back(t);
    }
    return out;
}
inline std::vector<QString> Only(const std::vector<QString>& texts, const char* prefix) { return Select(texts, prefix, true); }
inline std::vector<QString> Except(const std::vector<QString>& texts, const char* prefix) { return Select(texts, prefix, false); }
// The texts that begin with none of the prefixes.
inline std::vector<QString> Except(std::vector<QString> texts, std::initializer_list<const char*> prefixes)
{
    for (const char* prefix : prefixes)
        texts = Except(texts, prefix);
    return texts;
}

// The names of result rows or peaks, in order.
template <typename Row>
QStringList Names(const std::vector<Row>& rows)
{
    QStringList names;
    for (const Row& row : rows)
        names << row.name;
    return names;
}

// The n-th row or peak of that name; nullptr when there is none.
template <typename Row>
const Row* Find(const std::vector<Row>& rows, const QString& name, int occurrence = 0)
{
    for (const Row& row : rows) {
        if (row.name == name && occurrence-- == 0)
            return &row;
    }
    return nullptr;
}

// The n-th row or peak of that name; a failure, and an empty one to read on,
// when there is none.
template <typename Row>
const Row& Named(const std::vector<Row>& rows, const QString& name, int occurrence = 0)
{
    if (const Row* row = Find(rows, name, occurrence))
        return *row;
    ADD_FAILURE() << "no row " << name.toStdString();
    static const Row none;
    return none;
}

} // namespace calc_inputs
