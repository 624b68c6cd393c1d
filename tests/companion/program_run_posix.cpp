#include "program_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "scratch_folder.h"

extern char** environ;

std::filesystem::path companionProgram()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "VosselPRTDecrypt";
}

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
    const std::filesystem::path& scratch)
{
    const std::filesystem::path outPath = scratch / "run-out.txt";
    const std::filesystem::path errPath = scratch / "run-err.txt";
    std::vector<std::string> words = {program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ProgramRun run;
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        struct rusage usage = {};
        if (wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
            run.exitCode = WEXITSTATUS(status);
        }
        run.peakMemoryBytes = static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readBytes(outPath);
    run.err = readBytes(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}
