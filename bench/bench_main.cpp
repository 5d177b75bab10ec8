#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <fmt/format.h>

namespace vesk::bench {
void RunChunkTransferBench();
void RunCompactBench();
void RunCopyDataBench();
void RunCopyRerunBench();
void RunFixFieldsBench();
void RunPhotoStoreBench();
void RunPhotoConversionBench();
void RunPhotoOwnerScaleBench();
void RunUpsizeBench();
}  // namespace vesk::bench

// Runs every benchmark, or only those named on the command line (chunks, compact, fix-fields,
// copy, photos, conversion, owner-scale, upsize).
int main(int argc, char** argv) {
    const std::vector<std::pair<std::string, std::function<void()>>> benchmarks = {
        {"chunks", vesk::bench::RunChunkTransferBench},
        {"compact", vesk::bench::RunCompactBench},
        {"fix-fields", vesk::bench::RunFixFieldsBench},
        {"copy", vesk::bench::RunCopyDataBench},
        {"copy-rerun", vesk::bench::RunCopyRerunBench},
        {"photos", vesk::bench::RunPhotoStoreBench},
        {"conversion", vesk::bench::RunPhotoConversionBench},
        {"owner-scale", vesk::bench::RunPhotoOwnerScaleBench},
        {"upsize", vesk::bench::RunUpsizeBench},
    };
    fmt::print("Vesk benchmarks (each beside its peer, measured in the same run)\n\n");
    for (const auto& [name, run] : benchmarks) {
        bool chosen = argc == 1;
        for (int arg = 1; arg < argc; ++arg) {
            chosen = chosen || name == argv[arg];
        }
        if (chosen) {
            run();
        }
    }
    return 0;
}
