#include <fmt/format.h>

namespace vesk::bench {
void RunChunkTransferBench();
}

int main() {
    fmt::print("Vesk benchmarks (each beside its peer, measured in the same run)\n\n");
    vesk::bench::RunChunkTransferBench();
    return 0;
}
