#pragma once

#include <cstdint>
#include <string_view>

// How far a run has come, for whoever shows it to a person waiting. The stages and the archive
// writer report here; the console listens when the run has one. Without a listener nothing
// happens, so every layer may report without knowing who shows it.

enum class RunStage { Settings, Handshake, Dumps, MachineDescription, Collection, Saving, CleanUp };

class IRunProgressListener {
public:
    virtual ~IRunProgressListener() = default;
    virtual void stageStarted(RunStage stage) = 0;
    // done of total bytes of one archive entry have been read.
    virtual void entryProgress(std::wstring_view name, std::uint64_t done, std::uint64_t total) = 0;
};

// The listener for the rest of the process (null: none). It must outlive every report to it.
void setRunProgressListener(IRunProgressListener* listener);

void reportStage(RunStage stage);
void reportEntryProgress(std::wstring_view name, std::uint64_t done, std::uint64_t total);
