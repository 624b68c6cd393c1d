#include "app/console/console_progress.h"

#include <windows.h>

#include <mutex>

#include "app/console/console_output.h"

namespace {

std::mutex& progressMutex()
{
    static std::mutex mutex;
    return mutex;
}

CEntryProgressMeter& theMeter()
{
    static CEntryProgressMeter meter;
    return meter;
}

std::wstring progressText(std::wstring_view name, int percent)
{
    return L"  " + std::wstring(name) + L" " + std::to_wstring(percent) + L"%";
}

} // namespace

std::wstring stageText(RunStage stage)
{
    switch (stage) {
    case RunStage::Settings: return L"Reading the settings";
    case RunStage::Handshake: return L"Asking the running client to flush its material";
    case RunStage::Dumps: return L"Taking the memory dumps";
    case RunStage::MachineDescription: return L"Describing the machine";
    case RunStage::Collection: return L"Collecting the report";
    case RunStage::Saving: return L"Saving the report";
    case RunStage::CleanUp: return L"Cleaning up";
    }
    return L"";
}

std::wstring CEntryProgressMeter::update(std::wstring_view name, std::uint64_t done,
    std::uint64_t total, std::uint64_t nowMs, bool console)
{
    if (total <= kShownAbove) {
        return L"";
    }
    std::wstring text;
    if (name != name_ || done < lastDone_) {
        // A new entry; a line the previous one left open is closed first.
        text = finishLine();
        name_ = name;
        lastPercent_ = -1;
    }
    lastDone_ = done;
    const bool finished = done >= total;
    const int percent = finished ? 100 : static_cast<int>(done * 100 / total);
    bool due = false;
    if (console) {
        due = percent != lastPercent_ && (finished || lastPercent_ < 0 || nowMs - lastMs_ >= kConsoleIntervalMs);
    } else {
        due = lastPercent_ < 0 || percent / 10 > lastPercent_ / 10;
    }
    if (!due) {
        return text;
    }
    lastPercent_ = percent;
    lastMs_ = nowMs;
    if (!console) {
        return text + progressText(name, percent) + L"\r\n";
    }
    // The trailing blanks wipe what a longer earlier text left on the line.
    text += L"\r" + progressText(name, percent) + L"  ";
    lineOpen_ = !finished;
    if (finished) {
        text += L"\r\n";
    }
    return text;
}

std::wstring CEntryProgressMeter::finishLine()
{
    if (!lineOpen_) {
        return L"";
    }
    lineOpen_ = false;
    return L"\r\n";
}

namespace {

class CConsoleProgress : public IRunProgressListener {
public:
    void stageStarted(RunStage stage) override
    {
        finishProgressLine();
        writeConsoleText(STD_ERROR_HANDLE, stageText(stage) + L"\r\n");
    }

    void entryProgress(std::wstring_view name, std::uint64_t done, std::uint64_t total) override
    {
        if (total <= CEntryProgressMeter::kShownAbove) {
            return;
        }
        const ConsoleStreamKind kind = consoleStreamKind(STD_ERROR_HANDLE);
        if (kind == ConsoleStreamKind::None) {
            return;
        }
        std::wstring text;
        {
            std::lock_guard<std::mutex> lock(progressMutex());
            text = theMeter().update(name, done, total, GetTickCount64(), kind == ConsoleStreamKind::Console);
        }
        writeConsoleText(STD_ERROR_HANDLE, text);
    }
};

} // namespace

void showRunProgressOnConsole()
{
    static CConsoleProgress console;
    setRunProgressListener(&console);
}

void finishProgressLine()
{
    std::wstring text;
    {
        std::lock_guard<std::mutex> lock(progressMutex());
        text = theMeter().finishLine();
    }
    writeConsoleText(STD_ERROR_HANDLE, text);
}
