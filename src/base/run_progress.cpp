#include "base/run_progress.h"

#include <atomic>

namespace {
// Set once at the start of the run; read from the main thread and the compression's reader.
std::atomic<IRunProgressListener*> g_listener{nullptr};
} // namespace

void setRunProgressListener(IRunProgressListener* listener)
{
    g_listener = listener;
}

void reportStage(RunStage stage)
{
    if (IRunProgressListener* listener = g_listener) {
        listener->stageStarted(stage);
    }
}

void reportEntryProgress(std::wstring_view name, std::uint64_t done, std::uint64_t total)
{
    if (IRunProgressListener* listener = g_listener) {
        listener->entryProgress(name, done, total);
    }
}
