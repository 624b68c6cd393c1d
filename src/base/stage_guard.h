#pragma once

#include <exception>
#include <new>

// The boundary of one stage of a run. Memory can run out anywhere in a large report (a copy of the
// archive, a long text); the stage then ends with one line in the diagnostic log and the run goes
// on with its next stage, instead of the whole tool ending without a word. False when the stage
// did not run to its end.
void logStageStopped(const wchar_t* stage, const char* reason) noexcept;

template <typename Stage>
bool runStage(const wchar_t* stage, Stage&& body) noexcept
{
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        logStageStopped(stage, "out of memory");
    } catch (const std::exception& error) {
        logStageStopped(stage, error.what());
    } catch (...) {
        logStageStopped(stage, "unexpected error");
    }
    return false;
}
