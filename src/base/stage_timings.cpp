#include "base/stage_timings.h"

#include <mutex>

namespace {

struct Timings {
    std::mutex mutex;
    bool started = false;
    SYSTEMTIME start = {};
    std::vector<StageTime> stages;
};

Timings& timings()
{
    static Timings value;
    return value;
}

} // namespace

void markRunStart()
{
    Timings& t = timings();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!t.started) {
        GetSystemTime(&t.start);
        t.started = true;
    }
}

SYSTEMTIME runStartUtc()
{
    Timings& t = timings();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (t.started) {
        return t.start;
    }
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    return now;
}

void recordStageTime(const wchar_t* stage, double seconds)
{
    try {
        Timings& t = timings();
        std::lock_guard<std::mutex> lock(t.mutex);
        t.stages.push_back({stage, seconds});
    } catch (...) {
        // A time not kept costs the manifest one line, nothing more.
    }
}

std::vector<StageTime> stageTimes()
{
    Timings& t = timings();
    std::lock_guard<std::mutex> lock(t.mutex);
    return t.stages;
}
