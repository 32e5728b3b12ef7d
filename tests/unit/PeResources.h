// Reads one resource out of a PE file (32- or 64-bit) as bytes, without Windows.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace pe_resources {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Image {
 public:
  explicit Image(std::string bytes) : bytes_(std::move(bytes)) {
    const uint32_t pe = U32(0x3C);
    if (bytes_.size() < 0x40 || bytes_.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return;
    const uint32_t coff = pe + 4;
    const uint32_t optional = coff + 20;
    const bool wide = U16(optional) == 0x20B;  // PE32+
    sections_ = U16(coff + 2);
    sectionTable_ = optional + U16(coff + 16);
    resources_ = Offset(U32(optional + (wide ? 112 : 96) + 2 * 8));  // data directory 2
  }

  // The data of resource type/id in its first language; empty when there is none.
  std::string Resource(uint32_t type, uint32_t id) const {
    if (resources_ == 0) return {};
    const uint32_t names = Subdirectory(resources_, type);
    const uint32_t languages = names != 0 ? Subdirectory(names, id) : 0;
    if (languages == 0 || U16(languages + 12) + U16(languages + 14) == 0) return {};
    const uint32_t leaf = U32(languages + 16 + 4);
    if (leaf & 0x80000000u) return {};
    const uint32_t data = resources_ + leaf;  // IMAGE_RESOURCE_DATA_ENTRY
    return bytes_.substr(Offset(U32(data)), U32(data + 4));
  }

 private:
  uint32_t U32(uint32_t at) const {
    uint32_t value = 0;  // little-endian hosts, as PE files are
    if (at + 4 <= bytes_.size()) std::memcpy(&value, bytes_.data() + at, 4);
    return value;
  }
  uint16_t U16(uint32_t at) const {
    uint16_t value = 0;
    if (at + 2 <= bytes_.size()) std::memcpy(&value, bytes_.data() + at, 2);
    return value;
  }
  // The file offset of a relative virtual address; 0 when no section holds it.
  uint32_t Offset(uint32_t rva) const {
    for (uint32_t i = 0; i < sections_; ++i) {
      const uint32_t section = sectionTable_ + 40 * i;
      const uint32_t start = U32(section + 12);
      const uint32_t size = std::max(U32(section + 8), U32(section + 16));
      if (rva >= start && rva < start + size) return rva - start + U32(section + 20);
    }
    return 0;
  }
  // The file offset of the subdirectory that directory `at` names by numeric `id`, or 0.
  uint32_t Subdirectory(uint32_t at, uint32_t id) const {
    const uint32_t count = U16(at + 12) + U16(at + 14);
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t entry = at + 16 + 8 * i;
      const uint32_t target = U32(entry + 4);
      if (U32(entry) == id && (target & 0x80000000u)) return resources_ + (target & 0x7FFFFFFFu);
    }
    return 0;
  }

  std::string bytes_;
  uint32_t sections_ = 0;
  uint32_t sectionTable_ = 0;
  uint32_t resources_ = 0;
};

}  // namespace pe_resources
