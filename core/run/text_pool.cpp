#include "core/run/text_pool.h"

namespace haojian {
namespace {

constexpr std::size_t kShortText = 8;
constexpr std::uint64_t kAddressKeyed = std::uint64_t(1) << 63;

std::uint64_t Mix(std::uint64_t key) {
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDULL;
    key ^= key >> 33;
    return key;
}

}  // namespace

std::uint32_t TextPool::Intern(std::string_view text) {
    if (const auto found = ids_.find(text); found != ids_.end()) return found->second;
    const auto id = static_cast<std::uint32_t>(texts_.size());
    const std::string& stored = texts_.emplace_back(text);
    ids_.emplace(std::string_view(stored), id);
    return id;
}

TextIdCache::TextIdCache(TextPool& pool) : pool_(pool) {}

void TextIdCache::Clear() {
    slots_.fill(Slot{});
}

std::uint32_t TextIdCache::Id(std::string_view text) {
    std::uint64_t key = 0;
    std::uint64_t length = text.size();
    if (text.size() <= kShortText) {
        // A byte loop: a library memcpy of a variable length costs more than the rest here.
        for (const char c : text) key = (key << 8) | std::uint8_t(c);
    } else {
        key = reinterpret_cast<std::uintptr_t>(text.data());
        length |= kAddressKeyed;
    }
    Slot& slot = slots_[Mix(key ^ (length * 0x9E3779B97F4A7C15ULL)) % kSlots];
    if (slot.key != key || slot.length != length) {
        slot.key = key;
        slot.length = length;
        slot.id = pool_.Intern(text);
    }
    return slot.id;
}

}  // namespace haojian
