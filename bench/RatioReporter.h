#pragma once

// The side-by-side figures of the benchmarks: every benchmark's time per
// iteration (the median when repeated) is kept as it is reported, and the
// ratio of two of them is printed after the run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // "<label>: <measured / base, two decimals><suffix>"; nothing when either
    // did not run or the base took no time.
    void PrintRatio(const std::string& label, const std::string& measured, const std::string& base,
                    const std::string& suffix) const
    {
        const auto m = m_times.find(measured);
        const auto b = m_times.find(base);
        if (m == m_times.end() || b == m_times.end() || b->second <= 0)
            return;
        std::printf("%s: %.2f%s\n", label.c_str(), m->second / b->second, suffix.c_str());
    }

private:
    std::map<std::string, double> m_times;
};

// Runs the benchmarks the command line chooses, then prints the ratios.
inline int RunBenchmarksWithRatios(int argc, char** argv, const std::function<void(const RatioReporter&)>& printRatios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
