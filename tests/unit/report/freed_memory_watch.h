#pragma once

#include <string_view>

// While an instance lives, every block this program frees through operator delete is searched for
// the given byte patterns before it goes back to the heap, which shows a secret that was freed
// without being wiped first. The program's operator new and delete are replaced for this; outside
// a watch they only pass through to malloc and free. One watch at a time, on one thread.
class FreedMemoryWatch {
public:
    FreedMemoryWatch(std::string_view pattern, std::string_view otherPattern);
    ~FreedMemoryWatch();
    FreedMemoryWatch(const FreedMemoryWatch&) = delete;
    FreedMemoryWatch& operator=(const FreedMemoryWatch&) = delete;

    // Whether a freed block held one of the patterns.
    bool sawPattern() const;
};
