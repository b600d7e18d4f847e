// The text table's code page 932 bytes, against bytes written out by hand.
#include <gtest/gtest.h>

#include <string>

#include "common/Texts.h"

namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(Texts, AreCodePage932Bytes) {
    EXPECT_EQ(texts::kUnspecified, Bytes({0x28, 0x96, 0xB3, 0x8E, 0x77, 0x92, 0xE8, 0x29}));
    EXPECT_EQ(texts::kSelectionHeader,
              "[Vorna]k307" + Bytes({0x81, 0x46, 0x90, 0xDA, 0x89, 0x7E, 0x82, 0xCC, 0x8D, 0xEC, 0x90, 0x7D}));
    EXPECT_EQ(texts::kCaption,
              "[Vorna] k307" + Bytes({0x81, 0x46, 0x90, 0xDA, 0x89, 0x7E, 0x82, 0xCC, 0x8D, 0xEC, 0x90, 0x7D}));
    EXPECT_EQ(texts::kCancel, Bytes({0x83, 0x4C, 0x83, 0x83, 0x83, 0x93, 0x83, 0x5A, 0x83, 0x8B}) + "(&N)");
    // 数式表現: the trail byte of 表 is "\\", which must stay a byte of it.
    EXPECT_NE(std::string(texts::kMemoLine1).find(Bytes({0x90, 0x94, 0x8E, 0xAE, 0x95, 0x5C, 0x8C, 0xBB})),
              std::string::npos);
    EXPECT_EQ(texts::kFullWidthSpace, Bytes({0x81, 0x40}));
    EXPECT_EQ(texts::kUnitDrawingM, Bytes({0x90, 0x7D, 0x90, 0xA1, 0x82, 0x8D}));
}

}  // namespace
