// A measuring aid, not part of the tool: loaded with LD_PRELOAD into a benchmark, it takes Qt's
// global thread pool away, so that the raster engine fills tall areas on the drawing thread
// instead of handing them to the pool in 64-row pieces and waiting for them. Comparing runs
// with and without it shows what those hand-overs cost (commands in docs/benchmarks.md). In
// the tool and its benchmarks nothing else uses the global pool.

#include <QThreadPool>

QThreadPool* QThreadPool::globalInstance() {
    return nullptr;
}
