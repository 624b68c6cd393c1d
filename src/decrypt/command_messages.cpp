#include "decrypt/command_messages.h"

int failWith(std::ostream& err, const std::string& message)
{
    err << "VosselPRTDecrypt: " << message << "\n";
    return kExitFailed;
}

void printUsage(std::ostream& err)
{
    err << "Usage: VosselPRTDecrypt.exe VERB ARGUMENTS...\n"
           "  decrypt REPORT KEY [OUTPUT]   write the plain report archive to OUTPUT, by default beside REPORT\n"
           "                                under the report's own archive file name (never replacing a file)\n"
           "  verify REPORT [KEY]           check the archive, every entry's CRC-32 and the report's manifest\n"
           "  summary REPORT [KEY] [--json] [--html OUT.html]\n"
           "                                the report's triage page: report, user, machine, dumps, crash\n"
           "                                trace, GDI objects, client log errors\n"
           "  extract REPORT [KEY] DIR [--overwrite]\n"
           "                                write the report's entries into DIR, never outside it\n"
           "  REPORT KEY [OUTPUT]           the same as decrypt\n"
           "KEY is the PEM private key of the certificate an encrypted report was made for.\n";
}

bool VerbArguments::has(const std::string& flag) const
{
    for (const std::string& given : flags) {
        if (given == flag) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> VerbArguments::value(const std::string& name) const
{
    for (const auto& [given, value] : values) {
        if (given == name) {
            return value;
        }
    }
    return std::nullopt;
}

bool splitArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& flags,
    const std::vector<std::string>& valued, VerbArguments& split)
{
    const auto known = [](const std::vector<std::string>& names, const std::string& name) {
        for (const std::string& candidate : names) {
            if (candidate == name) {
                return true;
            }
        }
        return false;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            split.words.push_back(argument);
        } else if (known(flags, argument)) {
            split.flags.push_back(argument);
        } else if (known(valued, argument) && i + 1 < arguments.size()) {
            split.values.emplace_back(argument, arguments[++i]);
        } else {
            return false;
        }
    }
    return true;
}
