#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "bench_report.h"

namespace vesk::bench {
void RunChunkTransferBench();
void RunCompactBench();
void RunCopyDataBench();
void RunCopyRerunBench();
void RunEditorLatencyBench();
void RunFixFieldsBench();
void RunPhotoStoreBench();
void RunPhotoConversionBench();
void RunPhotoOwnerScaleBench();
void RunUpsizeBench();
}  // namespace vesk::bench

namespace {

struct Benchmark {
    std::string name;
    std::string what;
    std::function<void()> run;
};

const std::vector<Benchmark>& Benchmarks() {
    using namespace vesk::bench;
    static const std::vector<Benchmark> benchmarks = {
        {"chunks", "chunked values: AppendChunk/GetChunk beside the blob API",
         RunChunkTransferBench},
        {"compact", "CompactDatabase beside sqlcipher_export", RunCompactBench},
        {"fix-fields", "schema repair beside the sqlcipher shell", RunFixFieldsBench},
        {"copy", "data copy file to file beside the sqlcipher shell", RunCopyDataBench},
        {"copy-rerun", "copy again with half the rows there; peak memory", RunCopyRerunBench},
        {"photos", "photo store save and load beside the blob API and files", RunPhotoStoreBench},
        {"conversion", "ConvertAllToFiles beside the sqlcipher shell", RunPhotoConversionBench},
        {"owner-scale", "one owner's photos among many rows", RunPhotoOwnerScaleBench},
        {"editor", "photo editor latency beside Qt reading files and the blob API",
         RunEditorLatencyBench},
        {"upsize", "upsizing into PostgreSQL beside pgloader", RunUpsizeBench},
    };
    return benchmarks;
}

// The results file: results.json beside this executable (build/bench/ under `make bench`).
std::string ResultsPath(const char* argv0) {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        self = std::filesystem::absolute(argv0);
    }
    return (self.parent_path() / "results.json").string();
}

int ListBenchmarks() {
    for (const Benchmark& benchmark : Benchmarks()) {
        fmt::print("{:<12} {}\n", benchmark.name, benchmark.what);
    }
    return 0;
}

// The benchmarks named in `names`, in their usual order; all of them when `names` is empty.
// Returns false (after saying which) when a name is unknown.
bool Choose(const std::vector<std::string>& names, std::vector<const Benchmark*>& chosen) {
    for (const std::string& name : names) {
        bool known = false;
        for (const Benchmark& benchmark : Benchmarks()) {
            known = known || benchmark.name == name;
        }
        if (!known) {
            fmt::print(stderr, "vesk_bench: no benchmark is called '{}' (see --list)\n", name);
            return false;
        }
    }
    for (const Benchmark& benchmark : Benchmarks()) {
        bool named = names.empty();
        for (const std::string& name : names) {
            named = named || name == benchmark.name;
        }
        if (named) {
            chosen.push_back(&benchmark);
        }
    }
    return true;
}

}  // namespace

// Runs every benchmark, or only those named on the command line (--list names them), and
// writes their figures to results.json beside this executable. Exit 2 on an unknown name.
int main(int argc, char** argv) {
    std::vector<std::string> names(argv + 1, argv + argc);
    if (names.size() == 1 && (names[0] == "--list" || names[0] == "-l")) {
        return ListBenchmarks();
    }
    std::vector<const Benchmark*> chosen;
    if (!Choose(names, chosen)) {
        return 2;
    }
    fmt::print("Vesk benchmarks (each beside its peer, measured in the same run)\n\n");
    for (const Benchmark* benchmark : chosen) {
        vesk::bench::BeginBenchmark(benchmark->name);
        benchmark->run();
        // Written after each benchmark, so a run stopped halfway keeps what it measured.
        vesk::bench::WriteResults(ResultsPath(argv[0]));
    }
    fmt::print("Results: {}\n", ResultsPath(argv[0]));
    return 0;
}
