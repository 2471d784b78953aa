// Races and careers: defaults, sizes, byte-exact file forms and reading
// back. Their copies are their texts' (model_pstr_test).

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "model/actor.h"
#include "model/aspect.h"
#include "model/career.h"
#include "model/race.h"
#include "support/bytes.h"
#include "support/test_support.h"

namespace {

using test_support::FileForm;
using test_support::Bytes;
using test_support::U16;
using test_support::U32;

const stat_modifiers kHumanLike = {256, 512, 512, 768, 768, 512, 512, 256, 256};

// --- races ----------------------------------------------------------------

TEST(Race, DefaultValues) {
  const race r;
  EXPECT_EQ(r.ID(), 0u);
  EXPECT_EQ(r.name.str(), "Thing");
  EXPECT_EQ(r.description.str(), "A thing.");
  EXPECT_EQ(r.name.prefix_width, 1u);
  EXPECT_EQ(r.description.prefix_width, 2u);
  EXPECT_EQ(r.playable, 0);
  EXPECT_EQ(r.virtue, nullptr);
  EXPECT_EQ(r.vice, nullptr);
  EXPECT_EQ(r.modifiers, (stat_modifiers{512, 512, 512, 1024, 1024, 1024, 1024, 1024, 1024}));
  EXPECT_EQ(r.Size(), 41u);
}

TEST(Race, DefaultFileFormIsFortyThreeBytes) {
  std::string expected = U16(41) + U32(0) + "\x05Thing" + U16(8) + "A thing." + Bytes({0, 0, 0});
  for (int i = 0; i < 3; ++i) expected += U16(512);
  for (int i = 0; i < 6; ++i) expected += U16(1024);
  EXPECT_EQ(expected.size(), 43u);
  EXPECT_EQ(FileForm(race()), expected);
}

TEST(Race, FileFormFieldOrder) {
  race r(0x0A0B0C0D, "Goblin", std::string(37, 'd').c_str(), &aspects::diligence, &aspects::envy,
         {1, 2, 3, 4, 5, 6, 7, 8, 0xFFFF});
  r.playable = 1;
  EXPECT_EQ(r.Size(), 71u);
  const std::string expected = U16(71) + Bytes({0x0D, 0x0C, 0x0B, 0x0A}) + "\x06Goblin" + U16(37) +
                               std::string(37, 'd') + Bytes({1, 2, 5}) + U16(1) + U16(2) + U16(3) + U16(4) +
                               U16(5) + U16(6) + U16(7) + U16(8) + U16(0xFFFF);
  EXPECT_EQ(FileForm(r), expected);
  EXPECT_EQ(FileForm(r).size(), 73u);
}

TEST(Race, ReadsBackEveryField) {
  race source(9, "Nimisum", "Long description.", &aspects::kindness, &aspects::greed, kHumanLike);
  source.playable = 1;
  std::istringstream in(FileForm(source) + "Z");
  race r;
  in >> r;
  EXPECT_EQ(r.ID(), 9u);
  EXPECT_EQ(r.name.str(), "Nimisum");
  EXPECT_EQ(r.description.str(), "Long description.");
  EXPECT_EQ(r.playable, 1);
  EXPECT_EQ(r.virtue, &aspects::kindness);
  EXPECT_EQ(r.vice, &aspects::greed);
  EXPECT_EQ(r.modifiers, kHumanLike);
  EXPECT_EQ(in.get(), 'Z');
  EXPECT_EQ(FileForm(r), FileForm(source));
}

TEST(Race, AspectBytesOutOfRangeReadAsTheSeventh) {
  race source(1, "R", "D", &aspects::kindness, &aspects::greed, kHumanLike);
  std::string bytes = FileForm(source);
  // name 1+1, description 2+1: the aspect bytes follow playable at 6+2+3+1.
  ASSERT_EQ(bytes[12], 3);
  ASSERT_EQ(bytes[13], 2);
  bytes[12] = 9;
  bytes[13] = static_cast<char>(0xFF);
  std::istringstream in(bytes);
  race r;
  in >> r;
  EXPECT_EQ(r.virtue, &aspects::humility);
  EXPECT_EQ(r.vice, &aspects::lust);
}

TEST(Race, LongDescriptionKeepsTheFullSize) {
  const std::string text(65535, 'x');
  const race r(0, "Goblin", text.c_str(), &aspects::diligence, &aspects::envy, kHumanLike);
  EXPECT_EQ(r.Size(), 6u + 1 + 65535 + 2 + 25);
  const std::string bytes = FileForm(r);
  EXPECT_EQ(bytes.size(), 73u + 65535 - 37);
  EXPECT_EQ(bytes.substr(0, 2), U16(r.Size() & 0xFFFF));
}

TEST(Race, ConsoleFormDropsTheTextPrefixes) {
  const race r(0, "Ab", "Cd", &aspects::charity, &aspects::wrath, kHumanLike);
  test_support::ConsoleCapture capture;
  std::cout << r;
  const std::string shown = capture.Output();
  EXPECT_EQ(shown.size(), FileForm(r).size() - 3);
  EXPECT_EQ(shown.substr(6, 4), "AbCd");
}

// --- careers --------------------------------------------------------------

TEST(Career, DefaultFileFormIsEightyFourBytes) {
  const career c;
  EXPECT_EQ(c.ID(), 0u);
  EXPECT_EQ(c.name.str(), "Janitor");
  EXPECT_EQ(c.description.str(), "This rag technician will sweep you off your feet!");
  EXPECT_EQ(c.playable, 0);
  EXPECT_EQ(c.modifiers, stat_modifiers{});
  EXPECT_EQ(c.Size(), 82u);
  const std::string expected = Bytes({0x52, 0}) + U32(0) + "\x07Janitor" + Bytes({0x31, 0}) +
                               "This rag technician will sweep you off your feet!" + std::string(19, '\0');
  EXPECT_EQ(expected.size(), 84u);
  EXPECT_EQ(FileForm(c), expected);
}

TEST(Career, FileFormOfASmallCareer) {
  const career c(0x11223344, "Monk", "Fists up", {256, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(c.Size(), 38u);
  const std::string expected = U16(38) + U32(0x11223344) + "\x04Monk" + U16(8) + "Fists up" +
                               Bytes({0, 0x00, 0x01}) + std::string(16, '\0');
  EXPECT_EQ(FileForm(c), expected);
  EXPECT_EQ(FileForm(c).size(), 40u);
}

TEST(Career, ReadsBackEveryField) {
  career source(14, "Goblin Thief", "Nimble.", {256, 384, 384, 256, 512, 256, 768, 768, 768});
  source.playable = 3;
  std::istringstream in(FileForm(source) + "!");
  career read;
  in >> read;
  EXPECT_EQ(read.ID(), 14u);
  EXPECT_EQ(read.name.str(), "Goblin Thief");
  EXPECT_EQ(read.description.str(), "Nimble.");
  EXPECT_EQ(read.playable, 3);
  EXPECT_EQ(read.modifiers, source.modifiers);
  EXPECT_EQ(in.get(), '!');
}

}  // namespace
