// Races and careers: defaults, sizes, byte-exact file forms and reading
// back (their copies are their texts'). Then the field lists every record
// states its file form in, as a consumer other than the game's reader and
// writer sees them.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/actor.h"
#include "model/aspect.h"
#include "model/career.h"
#include "model/party.h"
#include "model/race.h"
#include "model/record_io.h"
#include "support/bytes.h"
#include "support/test_support.h"

namespace {

using test_support::Bytes;
using test_support::FileForm;
using test_support::U16;
using test_support::U32;

const stat_modifiers kHumanLike = {256, 512, 512, 768, 768, 512, 512, 256, 256};

// --- races ----------------------------------------------------------------

TEST(Race, DefaultFileFormIsFortyThreeBytes) {
  const race r;
  // A missing aspect is written as 0, as Temperance and Sloth are.
  EXPECT_EQ(r.virtue, nullptr);
  EXPECT_EQ(r.vice, nullptr);
  EXPECT_EQ(r.Size(), 41u);
  std::string expected = U16(41) + U32(0) + "\x05Thing" + U16(8) + "A thing." + Bytes({0, 0, 0});
  for (int i = 0; i < 3; ++i) expected += U16(512);
  for (int i = 0; i < 6; ++i) expected += U16(1024);
  EXPECT_EQ(expected.size(), 43u);
  EXPECT_EQ(FileForm(r), expected);
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

// --- field lists ----------------------------------------------------------

// Every field's key path, kind and byte offset must match the bytes the
// writer produces, so a visitor that adds offsets or names (the content
// tool's) describes the same file form.

// Notes where each field starts, by its dotted key path. Its calls take
// const references, so the filling form, which readers use, walks it too.
class layout {
 public:
  std::map<std::string, std::size_t> at;
  std::vector<std::string> order;
  std::size_t end = 0;

  void Size(const char* name, const size_field& field) { Note(name, static_cast<std::size_t>(field.width)); }
  void Id(const char* name, const std::uint32_t&) { Note(name, 4); }
  template <typename T>
  void Text(const char* name, const pstr<T>& text) {
    Note(name, text.prefix_width + text.length);
  }
  template <typename Value>
  void Flag(const char* name, const Value&, const presence&) {
    Note(name, 1);
  }
  void Aspect(const char* name, const aspect* const&, const aspect_kind&) { Note(name, 1); }
  void Reference(const char* name, const std::uint32_t&, const record_kind&) { Note(name, 4); }
  void References(const char* name, const std::vector<std::uint32_t>& ids, const record_kind&,
                  const std::size_t&) {
    Note(name, 1 + 4 * ids.size());
  }
  void Points(const char* name, const unsigned short&, const presence&) { Note(name, 2); }
  void Affinity(const char* name, const unsigned char&) { Note(name, 1); }
  template <class Fields>
  void Group(const char* name, Fields&& fields) {
    const std::string outer = prefix_;
    prefix_ += std::string(name) + ".";
    fields(*this);
    prefix_ = outer;
  }

 private:
  void Note(const char* name, const std::size_t& width) {
    order.push_back(prefix_ + name);
    at[prefix_ + name] = end;
    end += width;
  }

  std::string prefix_;
};

template <class Record>
layout LayoutOf(const Record& record) {
  layout l;
  record.Fields(l);
  return l;
}

// The fields in the order the filling form gives them.
template <class Record>
std::vector<std::string> FillingOrder(Record record) {
  layout l;
  record.Fields(l);
  return l.order;
}

TEST(Fields, RaceOffsetsMatchItsBytes) {
  const race r(3, "Goblin", "Small, green and everywhere at once!!", &aspects::kindness, &aspects::greed,
               {1, 2, 3, 4, 5, 6, 7, 8, 0x0109});
  const layout l = LayoutOf(r);
  const std::string bytes = FileForm(r);
  const std::size_t n = 6, d = 37;
  ASSERT_EQ(l.end, bytes.size());
  EXPECT_EQ(l.at.at("id"), 2u);
  EXPECT_EQ(l.at.at("name"), 6u);
  EXPECT_EQ(l.at.at("description"), 7 + n);
  EXPECT_EQ(l.at.at("playable"), 9 + n + d);
  EXPECT_EQ(static_cast<unsigned char>(bytes[l.at.at("virtue")]), aspects::kindness.strengthens);
  EXPECT_EQ(static_cast<unsigned char>(bytes[l.at.at("vice")]), aspects::greed.strengthens);
  EXPECT_EQ(l.at.at("modifiers.strength"), 12 + n + d);
  EXPECT_EQ(bytes.substr(l.at.at("modifiers.precision"), 2), std::string("\x09\x01", 2));
  EXPECT_EQ(FillingOrder(r), l.order);
}

TEST(Fields, ActorOffsetsMatchItsBytes) {
  actor a;
  a.name = pstr<unsigned char>("Bob");
  a.race_id = 0x11223344;
  a.career_id = 7;
  a.wisdom.growth = 0x0A0B;
  a.precision.current = 0x0C0D;
  a.elements[6].value = 0x42;
  const layout l = LayoutOf(a);
  const std::string bytes = FileForm(a);
  const std::size_t n = 3;
  ASSERT_EQ(l.end, bytes.size());
  EXPECT_EQ(l.at.at("female"), 7 + n);
  EXPECT_EQ(bytes.substr(l.at.at("race_id"), 4), std::string("\x44\x33\x22\x11"));
  EXPECT_EQ(l.at.at("race_id"), 9 + n);
  EXPECT_EQ(l.at.at("career_id"), 13 + n);
  EXPECT_EQ(l.at.at("virtue"), 17 + n);
  EXPECT_EQ(l.at.at("stats.strength.base"), 19 + n);
  EXPECT_EQ(bytes.substr(l.at.at("stats.wisdom.growth"), 2), "\x0B\x0A");
  EXPECT_EQ(l.at.at("stats.health.base"), 43 + n);
  EXPECT_EQ(bytes.substr(l.at.at("stats.precision.current"), 2), "\x0D\x0C");
  EXPECT_EQ(l.at.at("elements.water"), 79 + n);
  EXPECT_EQ(bytes[l.at.at("elements.arcane")], 0x42);
  // A stat group carries growth for the primaries only.
  EXPECT_EQ(l.at.count("stats.health.growth"), 0u);
  EXPECT_EQ(FillingOrder(a), l.order);
}

TEST(Fields, PartyListsItsMembersAfterTheCount) {
  actor a;
  a.id = 0x01020304;
  party p(pstr<unsigned char>("Duo"), 2, {&a, &a});
  const layout l = LayoutOf(p);
  const std::string bytes = FileForm(p);
  ASSERT_EQ(l.end, bytes.size());
  EXPECT_EQ(l.at.at("shared_members"), 12u);
  EXPECT_EQ(bytes[l.at.at("members")], 2);
  EXPECT_EQ(bytes.substr(l.at.at("members") + 5, 4), "\x04\x03\x02\x01");
  EXPECT_EQ(FillingOrder(p), l.order);
}

}  // namespace
