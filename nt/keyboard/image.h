// The memory of a layout library as the table reader sees it: readable
// ranges at their addresses. A mapped library gives its loaded segments (the
// bytes are the addresses); a fuzzer or a test gives a buffer and the address
// it stands for. The reader never dereferences an address itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace nt::kbd {

class Image {
 public:
  struct Segment {
    uint64_t address = 0;
    const uint8_t* bytes = nullptr;
    size_t size = 0;
  };

  Image() = default;
  explicit Image(std::vector<Segment> segments) : segments_(std::move(segments)) {}
  // One buffer standing at `address`.
  Image(const uint8_t* bytes, size_t size, uint64_t address) : segments_{{address, bytes, size}} {}

  // The bytes of [address, address + size) when they lie in one segment, else null.
  const uint8_t* Find(uint64_t address, size_t size) const {
    for (const Segment& s : segments_) {
      if (address >= s.address && address - s.address <= s.size &&
          size <= s.size - (address - s.address)) {
        return s.bytes + (address - s.address);
      }
    }
    return nullptr;
  }

  // The bytes from `address` to the end of its segment (0 when outside).
  size_t Available(uint64_t address, const uint8_t** bytes) const {
    for (const Segment& s : segments_) {
      if (address >= s.address && address - s.address < s.size) {
        *bytes = s.bytes + (address - s.address);
        return s.size - (address - s.address);
      }
    }
    return 0;
  }

  // Copies the object at `address`; false when it is not wholly inside the
  // image or not aligned for T.
  template <typename T>
  bool Read(uint64_t address, T* out) const {
    if (address % alignof(T) != 0) return false;
    const uint8_t* bytes = Find(address, sizeof(T));
    if (bytes == nullptr) return false;
    std::memcpy(out, bytes, sizeof(T));
    return true;
  }

  const std::vector<Segment>& segments() const { return segments_; }

 private:
  std::vector<Segment> segments_;
};

}  // namespace nt::kbd
