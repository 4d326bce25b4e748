#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>

// Prints the usual console report and keeps each benchmark's time per iteration
// (its median when repeated), by name with its arguments ("BM_Keystroke/20000"), so
// that a benchmark's main can print the ratios its targets are stated in.
class TimesReporter : public benchmark::ConsoleReporter
{
public:
    struct Times
    {
        double real = 0;
        double cpu = 0;
    };

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.iterations > 0 &&
                (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")) {
                m_times[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
    }

    double real(const std::string& name) const { return find(name).real; }
    double cpu(const std::string& name) const { return find(name).cpu; }

private:
    Times find(const std::string& name) const
    {
        const auto it = m_times.find(name);
        return it != m_times.end() ? it->second : Times{};
    }

    std::map<std::string, Times> m_times;
};
