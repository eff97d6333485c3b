#pragma once

// Pieces of collation keys, as words that order as the keys do, and the parts of keys kept
// aside while lines are ordered by them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "core/base/huge_pages.h"
#include "core/base/own_cache_line.h"

namespace haojian::sorting {

// Bytes [depth, depth + 8) of a collation key, which holds no 0 byte but its last, as a word
// whose integer order is the key order among keys that agree before depth; the bytes after the
// key's end are 0. The lowest byte is 0 exactly when the key ends within the word, so equal
// words with that byte 0 are equal keys. p points at byte depth, and the key must not have
// ended before it.
inline std::uint64_t KeyPiece(const char* p) {
    std::uint64_t piece = 0;
    for (int i = 0; i < 8; ++i) {
        const auto byte = static_cast<unsigned char>(p[i]);
        piece |= std::uint64_t(byte) << (56 - 8 * i);
        if (byte == 0) break;
    }
    return piece;
}

inline bool KeyEnds(std::uint64_t piece) {
    return (piece & 0xFF) == 0;
}

// Parts of collation keys, each after the place of its line, in blocks that never move, so
// that a reference stays valid as more are added. One store per thread, on cache lines of its
// own.
class alignas(kCacheLine) KeyStore {
public:
    static constexpr int kOffsetBits = 22;
    static constexpr std::size_t kBlockSize = std::size_t(1) << kOffsetBits;

    static std::size_t EntrySize(std::size_t key_bytes) {
        return sizeof(std::uint64_t) + key_bytes;
    }

    // Gives the reference of the stored key.
    std::uint64_t Add(std::uint64_t where, std::string_view key) {
        const std::size_t size = EntrySize(key.size());
        if (blocks_.empty() || used_ + size > block_size_) {
            block_size_ = std::max(kBlockSize, size);
            blocks_.push_back(MakeHugeBuffer(block_size_));
            used_ = 0;
        }
        char* const entry = blocks_.back().get() + used_;
        std::memcpy(entry, &where, sizeof where);
        std::memcpy(entry + sizeof where, key.data(), key.size());
        const std::uint64_t ref = std::uint64_t(blocks_.size() - 1) << kOffsetBits | used_;
        used_ += size;
        bytes_ += size;
        return ref;
    }

    std::uint64_t Where(std::uint64_t ref) const {
        std::uint64_t where;
        std::memcpy(&where, Entry(ref), sizeof where);
        return where;
    }
    const char* Key(std::uint64_t ref) const { return Entry(ref) + sizeof(std::uint64_t); }
    // The bytes of the keys stored, places included.
    std::size_t Bytes() const { return bytes_; }

private:
    const char* Entry(std::uint64_t ref) const {
        return blocks_[ref >> kOffsetBits].get() + (ref & (kBlockSize - 1));
    }

    std::vector<HugeBuffer> blocks_;
    std::size_t block_size_ = 0;
    std::size_t used_ = 0;
    std::size_t bytes_ = 0;
};

// The stores of all threads; a reference names its store in its top byte.
class StoredKeys {
public:
    explicit StoredKeys(std::size_t count) : stores_(count) {}
    KeyStore& Store(std::size_t i) { return stores_[i]; }
    static std::uint64_t Ref(std::size_t store, std::uint64_t ref) {
        return std::uint64_t(store) << 56 | ref;
    }
    std::uint64_t Where(std::uint64_t ref) const { return Of(ref).Where(ref & kRefMask); }
    const char* Key(std::uint64_t ref) const { return Of(ref).Key(ref & kRefMask); }

private:
    static constexpr std::uint64_t kRefMask = (std::uint64_t(1) << 56) - 1;
    const KeyStore& Of(std::uint64_t ref) const { return stores_[ref >> 56]; }
    std::vector<KeyStore> stores_;
};

}  // namespace haojian::sorting
