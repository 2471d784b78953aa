#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

#include "character_sheet/sheet.h"
#include "model/actor.h"
#include "model/aspect.h"
#include "model/career.h"
#include "model/race.h"
#include "support/test_support.h"

namespace {

using test_support::kBlankHeader;
using test_support::kRule;

// A race and career with round bonuses so every stat on the sheet is a
// distinct, predictable number.
struct Sheet {
  race nimisum{1, "Nimisum", "", &aspects::temperment, &aspects::gluttony,
               {10 * 256, 11 * 256, 12 * 256, 0, 0, 0, 0, 0, 0}};
  career janitor{2, "Janitor", "", {0, 0, 0, 0, 0, 0, 0, 0, 0}};
  actor a;

  Sheet() {
    a.PickRace(&nimisum);
    a.PickCareer(&janitor);
    a.virtue = &aspects::temperment;
    a.vice = &aspects::gluttony;
    a.Restore();
    for (auto& e : a.elements) e.value = 128;
  }
};

std::string Draw(actor* a, unsigned char mask) {
  test_support::ConsoleCapture capture;
  CharGen::Header(a, mask);
  return capture.Output();
}

TEST(Header, FullSheetColumns) {
  Sheet s;
  // Health 10 + 12/2 = 16, AD 10 + 11/2 = 15, EN 11 + 5 = 16, AC 11 + 6 = 17,
  // AS 12 + 5 = 17, RE 12 + 5 = 17 (whole points).
  const std::string expected =
      "    NAME    JOHN DOE               SEX  M           WATER  100%  LIGHT  100%\n"
      "    RACE    Nimisum        STR 10   HP 16  AD 15    WIND   100%  DARK   100%\n"
      "    CAREER  Janitor        WIS 11   EN 16  AC 17    EARTH  100%  ARCANE 100%\n"
      " Temperance/Gluttony       AGI 12   AS 17  RE 17    FIRE   100%\n" +
      kRule;
  EXPECT_EQ(Draw(&s.a, 255), expected);
}

TEST(Header, MasksFillTheSheetStepByStep) {
  Sheet s;
  EXPECT_EQ(Draw(&s.a, 0), kBlankHeader + kRule);

  const std::string name = "    NAME    JOHN DOE               SEX  M\n";
  EXPECT_EQ(Draw(&s.a, 1), name + kBlankHeader.substr(42) + kRule);

  const std::string stats2 = "  STR 10   HP 16  AD 15\n";
  const std::string stats3 = "  WIS 11   EN 16  AC 17\n";
  const std::string stats4 = "AGI 12   AS 17  RE 17\n";
  EXPECT_EQ(Draw(&s.a, 3), name + "    RACE    Nimisum      " + stats2 + std::string(25, ' ') + stats3 +
                               std::string(27, ' ') + stats4 + kRule);
  EXPECT_EQ(Draw(&s.a, 7), name + "    RACE    Nimisum      " + stats2 + "    CAREER  Janitor      " + stats3 +
                               std::string(27, ' ') + stats4 + kRule);
  // The career bit alone also shows the stats.
  EXPECT_EQ(Draw(&s.a, 4), kBlankHeader.substr(0, 42) + std::string(25, ' ') + stats2 +
                               "    CAREER  Janitor      " + stats3 + std::string(27, ' ') + stats4 + kRule);
}

TEST(Header, AspectsBitAloneShowsElementsAndAspects) {
  Sheet s;
  s.a.elements[0].value = 160;  // 125%
  s.a.elements[3].value = 0;    // 0%
  const std::string expected = std::string(41, ' ') + "           WATER  125%  LIGHT  100%\n" +
                               std::string(48, ' ') + "    WIND   100%  DARK   100%\n" + std::string(48, ' ') +
                               "    EARTH  100%  ARCANE 100%\n" + " Temperance/Gluttony    " + std::string(24, ' ') +
                               "    FIRE     0%\n" + kRule;
  EXPECT_EQ(Draw(&s.a, 8), expected);
}

TEST(Header, LongNamesAreCut) {
  Sheet s;
  s.a.name = pstr<unsigned char>("Bartholomew Fitzgerald the Third");
  s.nimisum.name = pstr<unsigned char>("Ultramarinian");  // exactly 13: kept
  s.janitor.name = pstr<unsigned char>("Chief Custodian");
  const std::string out = Draw(&s.a, 7);
  EXPECT_NE(out.find("    NAME    Bartholomew Fitzge...  SEX  M\n"), std::string::npos) << out;
  EXPECT_NE(out.find("    RACE    Ultramarinian  STR"), std::string::npos) << out;
  EXPECT_NE(out.find("    CAREER  Chief Cust...  WIS"), std::string::npos) << out;
}

TEST(Header, SexAndWholePoints) {
  Sheet s;
  // A file byte of 2 for the sex flag still reads as female.
  std::ostringstream file;
  file << s.a;
  std::string bytes = file.str();
  bytes[2 + 4 + 1 + s.a.name.length] = 2;
  std::istringstream in(bytes);
  actor read;
  in >> read;
  read.race = &s.nimisum;
  read.career = &s.janitor;
  read.strength.current = 2688;  // 10.5 points
  const std::string out = Draw(&read, 3);
  EXPECT_NE(out.find("SEX  F\n"), std::string::npos) << out;
  EXPECT_NE(out.find("STR 10 "), std::string::npos) << out;
}

TEST(Header, MissingRecordsDrawBlanks) {
  actor fresh;  // no race, career, virtue or vice yet
  fresh.player_controlled = true;
  const std::string out = Draw(&fresh, 255);
  const std::string expected =
      "    NAME    JOHN DOE               SEX  M           WATER  100%  LIGHT  100%\n" + std::string(25, ' ') +
      "  STR  0   HP  0  AD  0    WIND   100%  DARK   100%\n" + std::string(25, ' ') +
      "  WIS  0   EN  0  AC  0    EARTH  100%  ARCANE 100%\n" + std::string(27, ' ') +
      "AGI  0   AS  0  RE  0    FIRE   100%\n" + kRule;
  EXPECT_EQ(out, expected);
}

TEST(Header, LeavesTheStreamRightAligned) {
  Sheet s;
  s.a.elements[0].value = 0;
  for (const unsigned char mask : {0, 8, 255}) {
    test_support::ConsoleCapture capture;
    std::cout << std::left;  // as a caller may have left it
    CharGen::Header(&s.a, mask);
    std::cout << std::setw(4) << 7;
    const std::string out = capture.Output();
    std::cout << std::right;
    EXPECT_EQ(out.substr(out.size() - 4), "   7") << int{mask};
    if (mask & 8) {
      EXPECT_NE(out.find("WATER    0%"), std::string::npos) << out;
    }
  }
}

}  // namespace
