#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace haojian::bench {

// count eleven-digit mobile numbers, LF-ended, drawn with repetition from a pool of
// distinct ones, so that about half of all lines drawn over several files repeat.
std::string DigitLines(std::size_t count, std::size_t pool, unsigned seed);

// count GBK name lines: Chinese names and Latin names in mixed case, with repeats.
std::string NameLines(std::size_t count, unsigned seed);

// Seconds of wall time that a shell command takes; -1 when it fails.
double TimeCommand(const std::string& command);

// Peak resident memory in bytes of a shell command, by /usr/bin/time; 0 when unavailable.
std::size_t PeakMemory(const std::string& command);

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace haojian::bench
