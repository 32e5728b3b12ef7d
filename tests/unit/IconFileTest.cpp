// The program's icon: every size today's displays ask for, a PNG for the large
// views, and palette images for the systems that draw no alpha; the same
// images inside the program and its language module as in res/sentel.ico.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/unit/PeResources.h"

namespace {
struct Image {
  int size;  // pixels; the directory's 0 stands for 256
  int bits;
  std::string data;
  bool operator<(const Image& other) const {
    return std::tie(size, bits, data) < std::tie(other.size, other.bits, other.data);
  }
};

uint32_t Le(const std::string& bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width && at + i < bytes.size(); ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  }
  return value;
}
uint32_t Be32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
    value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  }
  return value;
}
int Pixels(uint32_t directoryByte) { return directoryByte == 0 ? 256 : directoryByte; }

// The images of an .ico file: ICONDIR, then 16-byte ICONDIRENTRYs with offsets.
std::vector<Image> FileImages(const std::string& file) {
  std::vector<Image> images;
  if (Le(file, 0, 2) != 0 || Le(file, 2, 2) != 1) return images;
  for (uint32_t i = 0; i < Le(file, 4, 2); ++i) {
    const size_t entry = 6 + 16 * i;
    images.push_back({Pixels(Le(file, entry, 1)), static_cast<int>(Le(file, entry + 6, 2)),
                      file.substr(Le(file, entry + 12, 4), Le(file, entry + 8, 4))});
  }
  return images;
}

// The same from a PE file: group icon 128 (14-byte entries naming RT_ICON ids).
std::vector<Image> ResourceImages(const std::string& path) {
  const pe_resources::Image pe(pe_resources::ReadFile(path));
  const std::string group = pe.Resource(14, 128);
  std::vector<Image> images;
  for (uint32_t i = 0; group.size() >= 6 && i < Le(group, 4, 2); ++i) {
    const size_t entry = 6 + 14 * i;
    images.push_back({Pixels(Le(group, entry, 1)), static_cast<int>(Le(group, entry + 6, 2)),
                      pe.Resource(3, Le(group, entry + 12, 2))});
  }
  return images;
}

// A DIB entry: its header agrees with the directory and the entry holds exactly
// the colour table, the image and the AND mask.
void ExpectDib(const Image& image) {
  const std::string& d = image.data;
  const uint32_t size = static_cast<uint32_t>(image.size);
  EXPECT_EQ(40u, Le(d, 0, 4));
  EXPECT_EQ(size, Le(d, 4, 4));
  EXPECT_EQ(2 * size, Le(d, 8, 4)) << "colour image and mask";
  EXPECT_EQ(static_cast<uint32_t>(image.bits), Le(d, 14, 2));
  const uint32_t colours =
      image.bits <= 8 ? (Le(d, 32, 4) != 0 ? Le(d, 32, 4) : 1u << image.bits) : 0;
  const uint32_t colourStride = (size * image.bits + 31) / 32 * 4;
  const uint32_t maskStride = (size + 31) / 32 * 4;
  EXPECT_EQ(40 + 4 * colours + (colourStride + maskStride) * size, d.size()) << size;
}

void ExpectPng(const Image& image) {
  const std::string& d = image.data;
  ASSERT_EQ(0, d.compare(0, 8, "\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(0, d.compare(12, 4, "IHDR"));
  EXPECT_EQ(static_cast<uint32_t>(image.size), Be32(d, 16));
  EXPECT_EQ(static_cast<uint32_t>(image.size), Be32(d, 20));
  EXPECT_EQ(8, d[24]) << "bits per channel";
  EXPECT_EQ(6, d[25]) << "RGBA: 32 bits with alpha";
}
}  // namespace

TEST(IconFile, HoldsEverySizeAtTrueColourThePngAndThePaletteImages) {
  const std::vector<Image> images =
      FileImages(pe_resources::ReadFile(SENTEL_SOURCE_DIR "/res/sentel.ico"));
  std::set<std::pair<int, int>> found;
  for (const Image& image : images) {
    EXPECT_TRUE(found.insert({image.size, image.bits}).second) << image.size << " twice";
    SCOPED_TRACE(std::to_string(image.size) + " px, " + std::to_string(image.bits) + " bits");
    // Only the 256 px image is compressed: systems before Vista read no PNG.
    if (image.size == 256) {
      ExpectPng(image);
    } else {
      ExpectDib(image);
    }
  }
  const std::set<std::pair<int, int>> wanted = {{16, 32}, {20, 32}, {24, 32}, {32, 32},
                                                {40, 32}, {48, 32}, {64, 32}, {256, 32},
                                                {16, 8},  {32, 8},  {48, 8}};
  EXPECT_EQ(wanted, found);
}

TEST(IconFile, ShipsWholeInTheProgramAndTheLanguageModule) {
  std::vector<Image> file = FileImages(pe_resources::ReadFile(SENTEL_SOURCE_DIR "/res/sentel.ico"));
  std::sort(file.begin(), file.end());
  ASSERT_FALSE(file.empty());
  for (const char* name : {"sentel.exe", "sentel1031.dll"}) {
    std::vector<Image> shipped = ResourceImages(std::string(SENTEL_SHIPPED_BIN "/") + name);
    std::sort(shipped.begin(), shipped.end());
    EXPECT_TRUE(file.size() == shipped.size() &&
                std::equal(file.begin(), file.end(), shipped.begin(),
                           [](const Image& a, const Image& b) {
                             return a.size == b.size && a.bits == b.bits && a.data == b.data;
                           }))
        << name << " holds " << shipped.size() << " images";
  }
}
