#pragma once
// What the Google Benchmark programs that print a summary share: a data
// folder of their own for the run, a console reporter that keeps each
// benchmark's seconds per iteration for the summary, and a main that runs
// them and removes the folder.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// A new folder "/tmp/cq-bench-NAME-XXXXXX/".
inline std::string MakeBenchFolder(const char* name) {
    std::string pattern = std::string("/tmp/cq-bench-") + name + "-XXXXXX";
    return std::string(mkdtemp(pattern.data())) + "/";
}

// The console output, and for the summary printed at Finalize the wall and
// processor seconds per iteration of each benchmark by its plain name
// ("BM_LoadGlobal/iterations:5/real_time" -> "BM_LoadGlobal"). A benchmark
// whose work runs in a child process reports its processor time in the
// counter "child_cpu_s".
class TSummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find('/'));
            const double iterations = static_cast<double>(run.iterations);
            seconds_[name] = run.real_accumulated_time / iterations;
            cpuSeconds_[name] = run.counters.count("child_cpu_s") != 0
                                    ? static_cast<double>(run.counters.at("child_cpu_s"))
                                    : run.cpu_accumulated_time / iterations;
        }
        ConsoleReporter::ReportRuns(runs);
    }

  protected:
    double Seconds(const std::string& name) { return seconds_[name]; }
    double CpuSeconds(const std::string& name) { return cpuSeconds_[name]; }

  private:
    std::map<std::string, double> seconds_;
    std::map<std::string, double> cpuSeconds_;
};

// Runs the benchmarks the command line selects with the reporter, then
// removes the run's data folder.
inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter,
                         const std::string& folder) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
