// The code-page conversions of the terminal.
#include "host/console/cp1252.h"

#include <gtest/gtest.h>

namespace zuna {
namespace {

TEST(Cp1252, ProgramTextsBecomeUtf8) {
  EXPECT_EQ(cp1252_to_utf8("APRESENTA\xC7\xC3O"), "APRESENTAÇÃO");
  EXPECT_EQ(cp1252_to_utf8("EXECU\xC7\xC3O DOS C\xC1LCULOS"), "EXECUÇÃO DOS CÁLCULOS");
  EXPECT_EQ(cp1252_to_utf8("Pontos j\xE1 processados"), "Pontos já processados");
  EXPECT_EQ(cp1252_to_utf8("\x80 \x93x\x94 \x85 \x9F"), "€ “x” … Ÿ");
}

TEST(Cp1252, UndefinedBytesBecomeQuestionMarks) {
  EXPECT_EQ(cp1252_to_utf8("a\x81"
                           "b\x8D\x8F\x90\x9D"),
            "a?b????");
}

TEST(Cp1252, EveryDefinedByteSurvivesTheRoundTrip) {
  for (int b = 1; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
      continue;
    }
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(byte)), byte) << "byte " << b;
  }
}

TEST(Cp1252, TypedUtf8BecomesProgramText) {
  EXPECT_EQ(utf8_to_cp1252("razão 1,5 €"), "raz\xE3o 1,5 \x80");
  EXPECT_EQ(utf8_to_cp1252("Δp 日本"), "?p ??");  // not in the code page
}

TEST(Cp1252, BytesThatAreNotUtf8PassAsTheyAre) {
  // A script written in the program's own code page.
  EXPECT_EQ(utf8_to_cp1252("raz\xE3o"), "raz\xE3o");
  // A truncated sequence, an overlong form and a lone continuation byte.
  EXPECT_EQ(utf8_to_cp1252("a\xC3"), "a\xC3");
  EXPECT_EQ(utf8_to_cp1252("\xC0\xAF"), "\xC0\xAF");
  EXPECT_EQ(utf8_to_cp1252("\xA9x"), "\xA9x");
}

}  // namespace
}  // namespace zuna
