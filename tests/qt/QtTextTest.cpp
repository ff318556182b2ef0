// Bytes to screen text: UTF-8 where it is valid, Windows-1252 otherwise.

#include <gtest/gtest.h>

#include <QList>

#include "qt/QtText.h"

using namespace tabulon::qt;

TEST(QtText, ValidUtf8IsShownAsUtf8AndAnythingElseAsWindows1252) {
    EXPECT_EQ(TextFromBytes("plain"), QStringLiteral("plain"));
    EXPECT_EQ(TextFromBytes("Caf\xC3\xA9"), QString::fromUtf8("Caf\u00E9"));
    EXPECT_EQ(TextFromBytes("Caf\xE9"), QString::fromUtf8("Caf\u00E9"));
    // The euro sign and the quotes of 0x80-0x9F, and a lone UTF-8 lead byte.
    EXPECT_EQ(TextFromBytes("\x80 \x93x\x94"), QString::fromUtf8("\u20AC \u201Cx\u201D"));
    EXPECT_EQ(TextFromBytes("\xC3"), QString::fromUtf8("\u00C3"));
    // Bytes the code page leaves undefined keep their value.
    EXPECT_EQ(TextFromBytes("\x81\x8D\x8F\x90\x9D").size(), 5);
    EXPECT_EQ(TextFromBytes("\x81")[0].unicode(), 0x81);
    // Beyond the basic plane.
    EXPECT_EQ(TextFromBytes("\xF0\x9F\x98\x80").toUcs4(), QList<uint>{0x1F600});
    // An empty text and a text with a zero byte keep their length.
    EXPECT_TRUE(TextFromBytes("").isEmpty());
    EXPECT_EQ(TextFromBytes(std::string("a\0b", 3)).size(), 3);
}

TEST(QtText, MalformedUtf8IsNotTakenForUtf8) {
    EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC"));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));   // U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xE2\x28\xA1"));      // a bad continuation byte
    EXPECT_FALSE(IsValidUtf8("\xFF"));
    EXPECT_EQ(TextFromBytes("\xC0\xAF"), QString::fromUtf8("\u00C0\u00AF"));
}

TEST(QtText, TypedTextIsUtf8AndByteOffsetsMapToCharacters) {
    EXPECT_EQ(Utf8FromText(QString::fromUtf8("\u00E9\u20AC")), "\xC3\xA9\xE2\x82\xAC");
    const std::string utf8 =
        "a\xC3\xA9"
        "b\xF0\x9F\x98\x80"
        "c";
    EXPECT_EQ(TextIndexOfByteOffset(utf8, 0), 0);
    EXPECT_EQ(TextIndexOfByteOffset(utf8, 3), 2);
    EXPECT_EQ(TextIndexOfByteOffset(utf8, 2), 1);  // inside the e-acute
    EXPECT_EQ(TextIndexOfByteOffset(utf8, 8), 5);  // after the surrogate pair
    EXPECT_EQ(TextIndexOfByteOffset(utf8, 999), TextFromBytes(utf8).size());
    EXPECT_EQ(TextIndexOfByteOffset("Caf\xE9!", 4), 4);  // one character a byte
}
