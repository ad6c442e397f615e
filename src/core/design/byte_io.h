// Little-endian byte cursors for the design file and the bitmap file.
//
// The reader never trusts a length it finds in the data: every take checks what is left and a
// failed take leaves the cursor failed for good, so a parser can read a whole block and test
// `ok()` once. The writer appends to a growable buffer that is written to disk in one go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    std::size_t offset() const { return pos_; }
    std::size_t left() const { return ok_ ? size_ - pos_ : 0; }
    bool atEnd() const { return ok_ && pos_ == size_; }
    void fail() { ok_ = false; }

    uint32_t u32() {
        uint8_t b[4] = {0, 0, 0, 0};
        bytes(b, 4);
        return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
               static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }

    // Copies `count` bytes; on a short buffer copies nothing and fails.
    bool bytes(void* out, std::size_t count) {
        const uint8_t* p = take(count);
        if (!p) return false;
        if (count) std::memcpy(out, p, count);
        return true;
    }
    // Pointer to the next `count` bytes, or null (and failed) when fewer are left.
    const uint8_t* take(std::size_t count) {
        if (!ok_ || count > size_ - pos_) {
            ok_ = false;
            return nullptr;
        }
        const uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }
    void back(std::size_t count) {
        if (ok_ && count <= pos_) pos_ -= count;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    std::vector<uint8_t>& buffer() { return buf_; }
    void u32(uint32_t v) {
        uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                        static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        bytes(b, 4);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void bytes(const void* p, std::size_t count) {
        const auto* b = static_cast<const uint8_t*>(p);
        buf_.insert(buf_.end(), b, b + count);
    }
    // Counted field: u32 length, then the bytes.
    void counted(const void* p, uint32_t count) {
        u32(count);
        bytes(p, count);
    }

private:
    std::vector<uint8_t> buf_;
};

inline uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t LoadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
