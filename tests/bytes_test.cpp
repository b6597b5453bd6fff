#include "common/bytes.h"

#include <gtest/gtest.h>

#include <climits>

namespace orvanta {
namespace {

TEST(Bytes, TextRoundTrip) {
  EXPECT_EQ(TextToBytes(""), Bytes());
  EXPECT_EQ(TextToBytes("a\xB0\xA1"), (Bytes{0x61, 0xB0, 0xA1}));
  EXPECT_EQ(BytesToText(Bytes()), "");
  EXPECT_EQ(BytesToText(Bytes{0x61, 0x00, 0x62}), "a");
  EXPECT_EQ(BytesToText(Bytes{0x00, 0x62}), "");
  EXPECT_EQ(BytesToText(Bytes{0x61, 0xFF}), "a\xFF");
  EXPECT_EQ(BytesLength(Bytes()), 0);
  EXPECT_EQ(BytesLength(Bytes{0, 0, 1}), 3);
}

TEST(Bytes, LeftAndBlank) {
  const Bytes abc{'a', 'b', 'c'};
  EXPECT_EQ(BytesLeft(abc, 2), (Bytes{'a', 'b'}));
  EXPECT_EQ(BytesLeft(abc, 5), abc);
  EXPECT_EQ(BytesLeft(abc, INT_MAX), abc);
  EXPECT_EQ(BytesLeft(abc, 0), Bytes());
  EXPECT_EQ(BytesLeft(abc, -1), Bytes());
  EXPECT_EQ(BlankBytes(3), (Bytes{0, 0, 0}));
  EXPECT_EQ(BlankBytes(0), Bytes());
  EXPECT_EQ(BlankBytes(-2), Bytes());
}

TEST(Bytes, Find) {
  struct Case {
    Bytes bytes, sub;
    std::optional<int> start;
    int want;
  };
  const Bytes data{'a', 0, 'b', 0xB0, 'A', 'b'};
  const Case cases[] = {
      {data, {'b'}, std::nullopt, 3},
      {data, {'b'}, 4, 6},  // the last byte gives the length
      {data, {'b'}, 7, -1},
      {data, {'b'}, 0, 3},
      {data, {'b'}, -9, 3},
      {data, {0}, std::nullopt, 2},
      {data, {0, 'b'}, std::nullopt, 2},
      {data, {'A'}, std::nullopt, 5},  // plain bytes: no notion of characters
      {data, {'a'}, std::nullopt, 1},
      {data, {'B'}, std::nullopt, -1},  // exact: case counts
      {data, {}, std::nullopt, -1},
      {{}, {'a'}, std::nullopt, -1},
      {{}, {}, std::nullopt, -1},
      {{'a'}, {'a', 'a'}, std::nullopt, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "sub of " << c.sub.size() << " start " << c.start.value_or(-999));
    EXPECT_EQ(FindBytes(c.bytes, c.sub, c.start), c.want);
  }
  Bytes long_data(10000, 'a');
  long_data.push_back(0);
  EXPECT_EQ(FindBytes(long_data, Bytes{'a', 0}), 10000);
  EXPECT_EQ(FindBytes(long_data, Bytes(300, 'a'), 9000), 9000);
}

TEST(Bytes, ConcatEqualAndBitOr) {
  const Bytes a{1, 0}, b{}, c{0xFF};
  EXPECT_EQ(ConcatBytes({&a, &b, &c}), (Bytes{1, 0, 0xFF}));
  EXPECT_EQ(ConcatBytes({&b, &b}), Bytes());
  EXPECT_EQ(ConcatBytes({&a, nullptr, &a}), (Bytes{1, 0, 1, 0}));
  EXPECT_TRUE(BytesEqual(Bytes(), Bytes()));
  EXPECT_TRUE(BytesEqual(a, Bytes{1, 0}));
  EXPECT_FALSE(BytesEqual(a, Bytes{1}));
  EXPECT_FALSE(BytesEqual(a, Bytes{1, 1}));
  EXPECT_EQ(BitOr({0x1, 0x4}), 0x5);
  EXPECT_EQ(BitOr({0x10, 0x1, 0x10}), 0x11);
  EXPECT_EQ(BitOr({INT_MIN, 1}), INT_MIN + 1);
}

}  // namespace
}  // namespace orvanta
