#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace haojian::sorting {

// A tournament over the heads of k sorted sources: the source whose head comes first is the
// winner, found again after a head changes in log2(k) comparisons of the losers on its way up.
// before(a, b) says whether source a's head comes before source b's; it must order every pair
// (ties broken by the sources' indexes) and put sources that have ended after all others.
template <class Before>
class LoserTree {
public:
    LoserTree(std::size_t k, Before before) : k_(k), before_(std::move(before)), tree_(k, k) {
        // Every node starts with the stand-in k, which wins over all; each real source then
        // takes its place from the bottom up.
        for (std::size_t s = k; s-- > 0;) Replay(s);
    }

    std::size_t Winner() const { return tree_[0]; }

    // Source s's head has changed (s was the winner, or the tree is being built).
    void Replay(std::size_t s) {
        for (std::size_t t = (s + k_) / 2; t > 0; t /= 2) {
            if (Wins(tree_[t], s)) std::swap(s, tree_[t]);
        }
        tree_[0] = s;
    }

private:
    bool Wins(std::size_t a, std::size_t b) {
        if (a == k_) return true;
        if (b == k_) return false;
        return before_(a, b);
    }

    std::size_t k_;
    Before before_;
    std::vector<std::size_t> tree_;
};

}  // namespace haojian::sorting
