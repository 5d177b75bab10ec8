#include <fmt/format.h>

namespace vesk::bench {
void RunChunkTransferBench();
void RunPhotoStoreBench();
}  // namespace vesk::bench

int main() {
    fmt::print("Vesk benchmarks (each beside its peer, measured in the same run)\n\n");
    vesk::bench::RunChunkTransferBench();
    vesk::bench::RunPhotoStoreBench();
    return 0;
}
