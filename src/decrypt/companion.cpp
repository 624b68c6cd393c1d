#include <exception>
#include <new>

#include "decrypt/command_messages.h"
#include "decrypt/companion_commands.h"

int runCompanion(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.empty()) {
        printUsage(err);
        return kExitUsage;
    }
    const std::string& verb = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    try {
        if (verb == "decrypt") {
            return decryptCommand(rest, out, err);
        }
        if (verb == "verify") {
            return verifyCommand(rest, out, err);
        }
        if (verb == "summary") {
            return summaryCommand(rest, out, err);
        }
        if (verb == "extract") {
            return extractCommand(rest, out, err);
        }
        if (verb == "help" || verb == "--help" || verb == "/?" || verb == "-h") {
            printUsage(out);
            return kExitDone;
        }
        // The first form, which support staff's scripts still use: REPORT KEY [OUTPUT].
        return decryptCommand(arguments, out, err);
    } catch (const std::bad_alloc&) {
        return failWith(err, "not enough memory; nothing was written");
    } catch (const std::exception& failure) {
        // A report larger than this build can hold (a 32-bit string's limit), or a path the
        // system cannot convert: said, never an abort.
        return failWith(err, std::string("cannot go on: ") + failure.what() + "; nothing was written");
    }
}
