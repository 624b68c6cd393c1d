#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Cuts what the dump program prints into the lines of the diagnostic log. The program's output
// arrives in reads that may end anywhere; a log line must hold one whole line of it, without line
// ends of its own, or the log would get lines without a timestamp. Blank lines are dropped, and a
// line longer than kLongestLine bytes is cut into pieces of that size.
class CDumpOutputLines {
public:
    static constexpr std::size_t kLongestLine = 4095;

    // The lines completed by these bytes.
    std::vector<std::string> add(const char* bytes, std::size_t count);
    // The last line when the output did not end with a line end.
    std::vector<std::string> finish();

private:
    std::string pending_;
};
