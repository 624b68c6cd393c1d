#pragma once

#include <string>

// How a test wants the client double to behave.
//   --answer now|never|late     flush answer: at once (default), never, or after --answer-delay
//   --answer-delay MS           delay of a late answer (default 2000)
//   --exit-after MS             end by itself after MS milliseconds (default: run until killed)
//   --record PATH               append one line per flush request: "flush-request WPARAM LPARAM"
//   --ready NAME                signal the named event once the window exists
//   --ready-file PATH           write that file once the window exists (for scripts)
//   --lay-out-material 1        first write the client's material to its folders (client_material.h)
//   --hold-file PATH            keep PATH open, sharing it with no one, for as long as the double runs
//                               (as the client holds a log it writes)
//   --exception-record PATH     hold an exception record for a crash-time dump (exception_record.h)
struct DoubleOptions {
    enum class Answer { now, never, late };
    Answer answer = Answer::now;
    unsigned long answerDelayMs = 2000;
    unsigned long exitAfterMs = 0;
    std::wstring recordPath;
    std::wstring readyEvent;
    std::wstring readyFile;
    bool layOutMaterial = false;
    std::wstring holdFile;
    std::wstring exceptionRecordPath;
};

// False when an argument is not understood.
bool parseDoubleOptions(int argc, wchar_t** argv, DoubleOptions& options);
