// Every one of the 2^32 floats through the float text codec, checked against std::to_chars
// as the sampled test checks them. Slow (about half an hour of CPU time), so not part of the test
// run: `make codec-exhaustive` builds and runs it. The argument is the number of threads.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "Math/codec_oracle.h"

int main(int argc, char **argv) {
    const int threads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    const uint64_t kCount = 1ull << 32;
    const uint64_t kChunk = 1ull << 24;
    std::atomic<uint64_t> nextChunk{0};
    std::atomic<uint64_t> failures{0};
    std::atomic<uint64_t> unproven{0};
    std::mutex printing;
    const auto work = [&] {
        for (uint64_t chunk; (chunk = nextChunk.fetch_add(kChunk)) < kCount;) {
            uint64_t chunkUnproven = 0;
            for (uint64_t bits = chunk; bits < chunk + kChunk; ++bits) {
                const codec_oracle::Verdict verdict = codec_oracle::Check(static_cast<uint32_t>(bits));
                chunkUnproven += verdict.unproven;
                if (verdict.failure.empty()) continue;
                std::lock_guard<std::mutex> lock(printing);
                if (++failures <= 20) std::printf("%s\n", verdict.failure.c_str());
            }
            unproven += chunkUnproven;
            std::lock_guard<std::mutex> lock(printing);
            std::printf("codec_exhaustive: %08llX..%08llX done\n", static_cast<unsigned long long>(chunk),
                        static_cast<unsigned long long>(chunk + kChunk - 1));
            std::fflush(stdout);
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i) pool.emplace_back(work);
    for (std::thread &t : pool) t.join();
    std::printf("codec_exhaustive: %llu floats, %llu failures, %llu written as \"%%.17g\" (shortest digits not proven)\n",
                static_cast<unsigned long long>(kCount), static_cast<unsigned long long>(failures.load()),
                static_cast<unsigned long long>(unproven.load()));
    return failures == 0 ? 0 : 1;
}
