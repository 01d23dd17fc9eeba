#include "host/KelStreamDefinition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

TEST(KelStreamDefinitionTest, CopiesTheCallersBuffer) {
  char* buffer = new char[3]{'a', 'b', 'c'};
  KelStreamDefinition stream(buffer, 3);
  buffer[0] = 'z';
  delete[] buffer;
  char c = 0;
  ASSERT_TRUE(stream.ReadChar(&c));
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(stream.GetCurrentPosition(), 1);
}

// Random reads and moves on random buffers against a model position: a read
// that fits takes the next bytes big-endian and moves past them; a read or a
// move that leaves the stream fails and changes neither position nor value.
TEST(KelStreamDefinitionTest, ReadsAndMovesStayWithinTheStream) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<unsigned char> bytes(random() % 24);
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(random());
    KelStreamDefinition stream(bytes.empty() ? nullptr : bytes.data(), bytes.size());
    const long size = static_cast<long>(bytes.size());
    long at = 0;
    // The next `n` bytes from the model position, most significant first.
    const auto next = [&](int n) {
      std::uint64_t value = 0;
      for (int i = 0; i < n; ++i) value = value << 8 | bytes[static_cast<std::size_t>(at + i)];
      return value;
    };
    for (int step = 0; step < 20; ++step) {
      const int op = static_cast<int>(random() % 4);
      if (op == 0) {
        const long n = step == 19 ? (trial % 2 ? std::numeric_limits<long>::max()
                                               : std::numeric_limits<long>::min())
                                  : static_cast<long>(random() % (2 * size + 5)) - size - 2;
        const bool fits = n >= -at && n <= size - at;
        EXPECT_EQ(stream.Advance(n), fits) << n;
        if (fits) at += n;
      } else {
        const int width = op == 1 ? 1 : op == 2 ? 2 : 8;
        const bool fits = at + width <= size;
        char c = 'q';
        unsigned short u = 0xBEEF;
        double d = 4.25;
        const bool read = op == 1   ? stream.ReadChar(&c)
                          : op == 2 ? stream.ReadUnsignedShort(&u)
                                    : stream.ReadDouble(&d);
        EXPECT_EQ(read, fits);
        if (fits) {
          const std::uint64_t value = next(width);
          double expected;
          std::memcpy(&expected, &value, sizeof expected);
          const bool same = op == 1   ? static_cast<unsigned char>(c) == value
                            : op == 2 ? u == value
                                      : d == expected || std::isnan(expected);
          EXPECT_TRUE(same) << "op " << op << " at " << at;
          at += width;
        } else {
          EXPECT_TRUE(c == 'q' && u == 0xBEEF && d == 4.25);
        }
      }
      ASSERT_EQ(stream.GetCurrentPosition(), at) << "trial " << trial << " step " << step;
    }
    stream.Reset();
    EXPECT_EQ(stream.GetCurrentPosition(), 0);
  }
}

}  // namespace
