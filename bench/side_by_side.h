#pragma once

// Runs the registered cases with the usual console output, then prints one summary line per
// operation and size: the geometry library's CPU time per call beside each reference library's
// and the reference's time relative to ours. Cases are named library/operation/size, the
// geometry library being "vandrel". With --benchmark_repetitions the summary takes the medians.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

class SideBySideReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a saved log reads plainly.
    SideBySideReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.str();
            const std::size_t slash = name.find('/');
            const std::string library = name.substr(0, slash), key = name.substr(slash + 1);
            if (nanoseconds_.find(key) == nanoseconds_.end()) keys_.push_back(key);
            nanoseconds_[key][library] = run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-38s %12s   reference (time relative to vandrel)\n", "operation/size", "vandrel");
        for (const std::string &key : keys_) {
            std::map<std::string, double> &row = nanoseconds_[key];
            const double own = row["vandrel"];
            std::printf("%-38s %9.1f ns", key.c_str(), own);
            for (const auto &[library, ns] : row)
                if (library != "vandrel") std::printf("   %s %.1f ns (%.3g)", library.c_str(), ns, ns / own);
            std::printf("\n");
        }
    }

private:
    std::vector<std::string> keys_;  // in the order the cases ran
    std::map<std::string, std::map<std::string, double>> nanoseconds_;
};

inline int RunSideBySide(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    SideBySideReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
