#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace haojian {

// Distinct texts stored once and named by small ids. A text, once interned, keeps its address
// for the life of the pool, so views of it stay valid.
class TextPool {
public:
    TextPool() = default;
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;

    // The id of text, adding a copy of it when it is new. Ids count up from 0.
    std::uint32_t Intern(std::string_view text);
    std::string_view Text(std::uint32_t id) const { return texts_[id]; }
    std::size_t size() const { return texts_.size(); }

private:
    // A deque never moves its elements, so the strings and their bytes stay where they are.
    std::deque<std::string> texts_;
    std::unordered_map<std::string_view, std::uint32_t> ids_;
};

// A small cache in front of a TextPool for texts that come again and again from the same few
// places (table names, fixed texts, bytes of database lines). Short texts are keyed by their
// bytes, longer ones by their address and length, so a hit costs neither hashing nor comparing
// the text. Address keys are only sound while the memory they point to holds the same bytes:
// call Clear() whenever texts seen since the last Clear() may have been freed or changed.
class TextIdCache {
public:
    explicit TextIdCache(TextPool& pool);

    std::uint32_t Id(std::string_view text);
    void Clear();

private:
    static constexpr std::size_t kSlots = 4096;
    struct Slot {
        std::uint64_t key = 0;
        std::uint64_t length = kEmpty;  // kEmpty marks an unused slot
        std::uint32_t id = 0;
    };
    static constexpr std::uint64_t kEmpty = UINT64_MAX;

    TextPool& pool_;
    std::array<Slot, kSlots> slots_;
};

}  // namespace haojian
