#include "double_options.h"

#include <cwchar>

bool parseDoubleOptions(int argc, wchar_t** argv, DoubleOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring name = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const std::wstring value = argv[++i];
        if (name == L"--answer") {
            if (value == L"now") {
                options.answer = DoubleOptions::Answer::now;
            } else if (value == L"never") {
                options.answer = DoubleOptions::Answer::never;
            } else if (value == L"late") {
                options.answer = DoubleOptions::Answer::late;
            } else {
                return false;
            }
        } else if (name == L"--answer-delay") {
            options.answerDelayMs = std::wcstoul(value.c_str(), nullptr, 10);
        } else if (name == L"--exit-after") {
            options.exitAfterMs = std::wcstoul(value.c_str(), nullptr, 10);
        } else if (name == L"--record") {
            options.recordPath = value;
        } else if (name == L"--ready") {
            options.readyEvent = value;
        } else if (name == L"--lay-out-material") {
            options.layOutMaterial = value == L"1";
        } else if (name == L"--exception-record") {
            options.exceptionRecordPath = value;
        } else if (name == L"--ready-file") {
            options.readyFile = value;
        } else if (name == L"--hold-file") {
            options.holdFile = value;
        } else {
            return false;
        }
    }
    return true;
}
