// The field lists as a consumer other than the game's reader and writer
// sees them: every field's key path, kind and byte offset must match the
// bytes the writer produces, so a visitor that adds offsets or names (the
// content tool's) describes the same file form.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "model/actor.h"
#include "model/party.h"
#include "model/race.h"
#include "model/record_io.h"
#include "support/test_support.h"

namespace {

using test_support::FileForm;

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
  void Flag(const char* name, const Value&) {
    Note(name, 1);
  }
  void Aspect(const char* name, const aspect* const&, const aspect_kind&) { Note(name, 1); }
  void Reference(const char* name, const std::uint32_t&, const record_kind&) { Note(name, 4); }
  void References(const char* name, const std::vector<std::uint32_t>& ids, const record_kind&) {
    Note(name, 1 + 4 * ids.size());
  }
  void Points(const char* name, const unsigned short&) { Note(name, 2); }
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
