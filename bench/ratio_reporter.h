#pragma once
// A console reporter that ends with one line per benchmark group: peer time / zor time, for
// benchmarks named GROUP/IMPL where the implementation "zor" is the reference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zorbench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations == 0 || r.run_type != Run::RT_Iteration) continue;
            const std::string name = r.run_name.function_name;
            const std::size_t slash = name.find('/');
            if (slash == std::string::npos) continue;
            const double n = static_cast<double>(r.iterations);
            m_seconds[name.substr(0, slash)][name.substr(slash + 1)] = {r.real_accumulated_time / n,
                                                                        r.cpu_accumulated_time / n};
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& group : m_seconds) {
            const auto zor = group.second.find("zor");
            if (zor == group.second.end()) continue;
            std::printf("%s:", group.first.c_str());
            for (const auto& peer : group.second)
                if (peer.first != "zor")
                    std::printf(" %s / zor = %.2fx (cpu time %.2fx)", peer.first.c_str(),
                                peer.second.first / zor->second.first, peer.second.second / zor->second.second);
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    // real and CPU seconds per iteration, by group and implementation
    std::map<std::string, std::map<std::string, std::pair<double, double>>> m_seconds;
};

}  // namespace zorbench
