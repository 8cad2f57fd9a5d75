// The console report of a benchmark program, remembering each benchmark's median
// so that main() can print it as a ratio to the baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class median_reporter : public benchmark::ConsoleReporter {
public:
    // CPU time holds steadier than wall time on a machine shared with other work;
    // wall time suits runs that wait on more than the processor.
    enum class clock { cpu, wall };
    explicit median_reporter(clock measured) : m_clock(measured) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // A benchmark run without repetitions is its own median.
            const bool only_run = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!only_run && (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median"))
                continue;
            double time =
                m_clock == clock::cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
            m_medians[run.run_name.function_name] = time;
            if (!run.run_name.args.empty()) {
                m_medians[run.run_name.function_name + "/" + run.run_name.args] = time;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median of `measured` over that of `baseline` (names as "function" or
    // "function/args"); 0 when either is missing.
    double ratio(const std::string& measured, const std::string& baseline) const {
        auto m = m_medians.find(measured);
        auto b = m_medians.find(baseline);
        if (m == m_medians.end() || b == m_medians.end() || b->second <= 0)
            return 0;
        return m->second / b->second;
    }

    // Prints "median ratio MEASURED / BASELINE: R" when both ran.
    void print_ratio(const char* measured, const char* baseline) const {
        double r = ratio(measured, baseline);
        if (r > 0)
            std::printf("median ratio %s / %s: %.2f\n", measured, baseline, r);
    }

private:
    clock m_clock;
    std::map<std::string, double> m_medians;
};
