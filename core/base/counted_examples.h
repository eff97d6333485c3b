#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace haojian {

// How many things of one kind a report found, and the first few of them to show.
template <typename Example>
struct CountedExamples {
    static constexpr std::size_t kShown = 5;

    std::size_t count = 0;
    std::vector<Example> examples;

    // Counts one more; make() gives its example, asked only while fewer than kShown are kept.
    template <typename Make>
    void Add(Make&& make) {
        ++count;
        if (examples.size() < kShown) examples.push_back(std::forward<Make>(make)());
    }
};

}  // namespace haojian
