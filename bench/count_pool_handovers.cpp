// A measuring aid, not part of the tool: loaded with LD_PRELOAD into a benchmark, it counts how
// often Qt's raster engine hands a fill to the global thread pool, and prints the count when
// the program ends. The engine asks the pool whether the drawing thread is one of its own
// just before each hand-over, and nothing else in the tool or the benchmarks asks it, so that
// question is what is counted; the answer comes from Qt's own function, looked up past this
// one. Commands in docs/benchmarks.md.

#include <QThreadPool>

#include <atomic>
#include <cstdio>
#include <dlfcn.h>

namespace {

std::atomic<long> handovers{0};

struct Report {
    Report() = default;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
    ~Report() { std::fprintf(stderr, "pool hand-overs: %ld\n", handovers.load()); }
} report;

} // namespace

bool QThreadPool::contains(const QThread* thread) const {
    ++handovers;
    using Contains = bool (*)(const QThreadPool*, const QThread*);
    static const auto qt =
        reinterpret_cast<Contains>(dlsym(RTLD_NEXT, "_ZNK11QThreadPool8containsEPK7QThread"));
    return qt != nullptr && qt(this, thread);
}
