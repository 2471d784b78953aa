// Parties: file form, member operations and their codes, shared and private
// copies, and ownership of the private member copies. The sanitizer build's
// leak checker and use-after-free checks make the ownership cases fail loudly.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/actor.h"
#include "model/party.h"
#include "support/bytes.h"
#include "support/test_support.h"

namespace {

using test_support::FileForm;
using test_support::U32;

actor Named(unsigned id, const char* name) {
  return actor(id, name, false, nullptr, nullptr, nullptr, nullptr);
}

std::vector<actor*> Members(party& p) { return std::vector<actor*>(p.Begin(), p.End()); }

// Four actors with identifiers 0 to 3, full health.
struct Four : ::testing::Test {
  Four() {
    for (actor* a : {&a0, &a1, &a2, &a3}) {
      a->health.base = 1000;
      a->Restore();
    }
  }
  actor a0 = Named(0, "Ann");
  actor a1 = Named(1, "Ben");
  actor a2 = Named(2, "Cid");
  actor a3 = Named(3, "Dee");
};

// --- defaults and file form -----------------------------------------------

TEST(Party, DefaultIsEmptyAdventurers) {
  party p;
  EXPECT_EQ(p.ID(), 0u);
  EXPECT_EQ(p.name.str(), "Adventurers");
  EXPECT_FALSE(p.shared_members);
  EXPECT_EQ(p.member_count, 0);
  EXPECT_EQ(p.Begin(), p.End());
  EXPECT_EQ(p.Size(), 22u);
  EXPECT_EQ(FileForm(p), U32(22) + U32(0) +
                             "\x0B"
                             "Adventurers" +
                             std::string(2, '\0'));
}

TEST_F(Four, PlayerFileForm) {
  party p(pstr<unsigned char>("Player"), 4, {&a0, &a1, &a2, &a3});
  p.id = 0x0A0B0C0D;
  EXPECT_EQ(p.Size(), 33u);
  const std::string expected = U32(33) + U32(0x0A0B0C0D) + "\x06Player" + std::string("\x00\x04", 2) +
                               U32(0) + U32(1) + U32(2) + U32(3);
  EXPECT_EQ(FileForm(p), expected);
  p.shared_members = true;
  EXPECT_EQ(FileForm(p)[15], 1);
}

TEST_F(Four, ConsoleFormChangesOnlyTheName) {
  party p(pstr<unsigned char>("Player"), 2, {&a0, &a1});
  std::string expected = FileForm(p);
  expected.erase(8, 1);
  test_support::ConsoleCapture capture;
  std::cout << p;
  EXPECT_EQ(capture.Output(), expected);
}

TEST_F(Four, FileFormTakesIdentifiersFromTheMembers) {
  party p(pstr<unsigned char>("P"), 2, {&a2, &a3});
  p.member_ids = {77, 78};
  a3.id = 0x01020304;
  EXPECT_EQ(FileForm(p).substr(12), U32(2) + U32(0x01020304));
}

TEST(Party, ReadsTheFileFormAndWaitsForResolution) {
  const std::string bytes =
      U32(30) + U32(5) + "\x07Goblins" + std::string("\x01\x03", 2) + U32(4) + U32(5) + U32(4);
  std::istringstream in(bytes + "#");
  party p;
  in >> p;
  EXPECT_EQ(p.ID(), 5u);
  EXPECT_EQ(p.name.str(), "Goblins");
  EXPECT_TRUE(p.shared_members);
  EXPECT_EQ(p.member_count, 3);
  EXPECT_EQ(p.member_ids, (std::vector<std::uint32_t>{4, 5, 4}));
  EXPECT_EQ(p.End() - p.Begin(), 3);
  EXPECT_EQ(in.get(), '#');
  // Unresolved, it still writes the identifiers it read.
  EXPECT_EQ(FileForm(p), bytes);
}

TEST(Party, ResolvingSharedMembersRefersToTheActors) {
  actor four = Named(4, "Tough");
  actor five = Named(5, "Scrawny");
  std::istringstream in(U32(0) + U32(0) + "\x01G" + std::string("\x01\x04", 2) + U32(4) + U32(5) + U32(9) +
                        U32(4));
  party p;
  in >> p;
  p.ResolveMembers([&](std::uint32_t id) -> actor* { return id == 4 ? &four : id == 5 ? &five : nullptr; });
  // The identifier that finds no actor drops its slot.
  EXPECT_EQ(Members(p), (std::vector<actor*>{&four, &five, &four}));
  EXPECT_EQ(p.member_count, 3);
}

TEST(Party, ResolvingPrivateMembersMakesOwnCopies) {
  actor four = Named(4, "Tough");
  four.health.base = 500;
  std::istringstream in(U32(0) + U32(0) + "\x01G" + std::string("\x00\x02", 2) + U32(4) + U32(4));
  party p;
  in >> p;
  p.ResolveMembers([&](std::uint32_t id) -> actor* { return id == 4 ? &four : nullptr; });
  ASSERT_EQ(p.member_count, 2);
  EXPECT_NE(p.members[0], &four);
  EXPECT_NE(p.members[0], p.members[1]);
  EXPECT_EQ(FileForm(*p.members[0]), FileForm(four));
  EXPECT_EQ(p.members[1]->health.dom(), &p.members[1]->strength);
  // Reading again releases those copies (the leak checker watches).
  std::istringstream again(U32(0) + U32(0) + "\x01H" + std::string("\x00\x00", 2));
  again >> p;
  EXPECT_EQ(p.member_count, 0);
  EXPECT_EQ(p.name.str(), "H");
}

TEST(Party, ShortMemberListReadsOnlyWhatIsThere) {
  std::istringstream in(U32(0) + U32(0) + "\x01G" + std::string("\x01\x05", 2) + U32(4) + U32(5));
  party p;
  in >> p;
  // A cut-off list must not invent members that were never stored.
  EXPECT_EQ(p.member_ids, (std::vector<std::uint32_t>{4, 5}));
  EXPECT_EQ(p.member_count, 2);
  EXPECT_EQ(p.End() - p.Begin(), 2);
}

// --- the list constructor -------------------------------------------------

TEST_F(Four, ListConstructorTakesTheFirstCountActors) {
  party p(pstr<unsigned char>("Player"), 3, {&a0, &a1, &a2, &a3});
  EXPECT_EQ(p.member_count, 3);
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a0, &a1, &a2}));
  EXPECT_EQ(p.name.str(), "Player");
  EXPECT_EQ(p.ID(), 0u);
  EXPECT_FALSE(p.shared_members);
  EXPECT_TRUE(p.member_ids.empty());

  party short_list(pstr<unsigned char>("P"), 9, {&a0, &a1});  // never read past the list
  EXPECT_EQ(Members(short_list), (std::vector<actor*>{&a0, &a1}));
  EXPECT_EQ(short_list.member_count, 2);
}

TEST_F(Four, ListedActorsAreNotOwned) {
  // Destroying the party must not release actors that live elsewhere (a
  // heap actor is released here and would be freed twice otherwise).
  auto owned_elsewhere = std::make_unique<actor>(Named(8, "Heap"));
  {
    party p(pstr<unsigned char>("P"), 2, {owned_elsewhere.get(), owned_elsewhere.get()});
    EXPECT_EQ(p.members[0], p.members[1]);
  }
  EXPECT_EQ(owned_elsewhere->name.str(), "Heap");
}

// --- AddMember ------------------------------------------------------------

TEST_F(Four, AddMemberSharedAddsTheActorItself) {
  party p;
  p.shared_members = true;
  EXPECT_EQ(p.AddMember(&a1), party::kDone);
  EXPECT_EQ(p.AddMember(&a1), party::kDone);  // no check for duplicates
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a1, &a1}));
  EXPECT_EQ(p.member_count, 2);
  EXPECT_EQ(p.Size(), 11u + 11 + 8);
}

TEST_F(Four, AddMemberPrivateAddsAWiredCopy) {
  party p;
  a2.strength.base = 300;
  EXPECT_EQ(p.AddMember(&a2), party::kDone);
  ASSERT_EQ(p.member_count, 1);
  actor* copy = p.members[0];
  EXPECT_NE(copy, &a2);
  EXPECT_EQ(FileForm(*copy), FileForm(a2));
  EXPECT_EQ(copy->health.dom(), &copy->strength);
  EXPECT_EQ(copy->strength.links[0], &copy->health);
  copy->health.Damage(999);
  EXPECT_EQ(a2.health.current, a2.health.get_max(false));
}

TEST_F(Four, AddMemberStopsAtTwoHundredFifty) {
  for (const bool shared : {true, false}) {
    party p;
    p.shared_members = shared;
    for (int i = 0; i < 249; ++i) ASSERT_EQ(p.AddMember(&a0), party::kDone);
    EXPECT_EQ(p.AddMember(&a3), party::kDone);
    EXPECT_EQ(p.member_count, 250);
    EXPECT_EQ(p.AddMember(&a1), party::kFull);
    EXPECT_EQ(p.member_count, 250);
    EXPECT_EQ(p.End() - p.Begin(), 250);
    EXPECT_EQ(p.members[249]->id, 3u);
    EXPECT_EQ(p.Size(), 11u + 11 + 1000);
  }
}

// --- RemoveMember ---------------------------------------------------------

TEST_F(Four, RemoveByIndexKeepsTheOrder) {
  party p(pstr<unsigned char>("P"), 4, {&a0, &a1, &a2, &a3});
  EXPECT_EQ(p.RemoveMember(1), party::kDone);
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a0, &a2, &a3}));
  EXPECT_EQ(p.RemoveMember(2), party::kDone);
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a0, &a2}));
  EXPECT_EQ(p.RemoveMember(0), party::kDone);
  EXPECT_EQ(p.RemoveMember(0), party::kDone);
  EXPECT_EQ(p.member_count, 0);
  EXPECT_EQ(p.Begin(), p.End());
  EXPECT_EQ(p.RemoveMember(0), party::kEmpty);
  EXPECT_EQ(p.RemoveMember(&a0), party::kEmpty);
}

TEST_F(Four, RemoveByBadIndexChangesNothing) {
  party p(pstr<unsigned char>("P"), 2, {&a0, &a1});
  for (int index : {2, 3, 250, 255, -1, -1000}) {
    EXPECT_EQ(p.RemoveMember(index), 4) << index;
  }
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a0, &a1}));
  EXPECT_EQ(p.member_count, 2);
}

TEST_F(Four, RemoveByActorMatchesTheLastIdentifier) {
  actor twin = Named(1, "Twin of Ben");
  party p(pstr<unsigned char>("P"), 4, {&a1, &a0, &twin, &a2});
  // Matched by identifier, not address: a third actor with id 1 finds them.
  actor probe = Named(1, "Probe");
  EXPECT_EQ(p.RemoveMember(&probe), party::kDone);
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a1, &a0, &a2}));
  EXPECT_EQ(p.RemoveMember(&a1), party::kDone);
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a0, &a2}));
  EXPECT_EQ(p.RemoveMember(&a3), party::kNotFound);
  // No actor at all is refused the same way, and cannot join either.
  EXPECT_EQ(p.RemoveMember(static_cast<actor*>(nullptr)), party::kNotFound);
  EXPECT_EQ(p.AddMember(nullptr), party::kNotFound);
  EXPECT_EQ(Members(p), (std::vector<actor*>{&a0, &a2}));
}

TEST_F(Four, RemovedOwnedMemberStaysAlive) {
  party p;
  p.AddMember(&a0);
  p.AddMember(&a1);
  actor* removed = p.members[0];
  EXPECT_EQ(p.RemoveMember(0), party::kDone);
  // Someone may still hold the pointer; the party releases it later.
  EXPECT_EQ(removed->name.str(), "Ann");
  EXPECT_EQ(p.member_count, 1);
  EXPECT_EQ(p.members[0]->name.str(), "Ben");
}

// --- assignment -----------------------------------------------------------

TEST_F(Four, PrivateCopyDoesNotReachTheSource) {
  party source(pstr<unsigned char>("Goblins"), 3, {&a0, &a1, &a0});
  source.id = 6;
  source.member_ids = {0, 1, 0};
  party copy;
  copy = source;
  EXPECT_EQ(copy.ID(), 6u);
  EXPECT_EQ(copy.name.str(), "Goblins");
  EXPECT_NE(copy.name.data, source.name.data);
  EXPECT_FALSE(copy.shared_members);
  EXPECT_EQ(copy.member_count, 3);
  EXPECT_EQ(copy.member_ids, source.member_ids);
  EXPECT_EQ(FileForm(copy), FileForm(source));
  for (int i = 0; i < 3; ++i) {
    actor* member = copy.members[i];
    EXPECT_NE(member, source.members[i]);
    EXPECT_EQ(FileForm(*member), FileForm(*source.members[i]));
    EXPECT_EQ(member->health.dom(), &member->strength);
    EXPECT_EQ(member->agility.links[2], &member->health);
  }
  // Each slot is a copy of its own, even where the source repeats an actor.
  EXPECT_NE(copy.members[0], copy.members[2]);

  const unsigned short full = a0.health.current;
  copy.members[0]->health.Damage(300);
  copy.members[0]->strength.Level(5000);
  EXPECT_EQ(a0.health.current, full);
  EXPECT_EQ(a0.strength.growth, 0);
  EXPECT_EQ(copy.members[2]->health.current, full);
}

TEST_F(Four, SharedCopyRefersToTheSameActors) {
  party source(pstr<unsigned char>("Player"), 2, {&a2, &a3});
  source.shared_members = true;
  const party copy(source);
  EXPECT_TRUE(copy.shared_members);
  EXPECT_EQ(copy.members, source.members);
  copy.members[0]->health.Damage(300);
  EXPECT_EQ(a2.health.current, 700);
}

TEST_F(Four, ReassigningReleasesTheOldCopies) {
  party source(pstr<unsigned char>("Goblins"), 4, {&a0, &a1, &a2, &a3});
  party holder;
  for (int round = 0; round < 5; ++round) holder = source;  // each round drops the last copies
  EXPECT_EQ(holder.member_count, 4);
  party smaller(pstr<unsigned char>("Two"), 2, {&a3, &a2});
  holder = smaller;
  EXPECT_EQ(holder.member_count, 2);
  EXPECT_EQ(holder.members[0]->name.str(), "Dee");
  const party& same = holder;
  holder = same;
  EXPECT_EQ(holder.member_count, 2);
  EXPECT_EQ(holder.members[1]->name.str(), "Cid");
}

TEST_F(Four, CopyOfACopyOwnsItsOwnMembers) {
  auto first = std::make_unique<party>(pstr<unsigned char>("G"), 2, std::initializer_list<actor*>{&a0, &a1});
  auto second = std::make_unique<party>(*first);
  auto third = std::make_unique<party>(*second);
  second.reset();  // third must not point into second's copies
  first.reset();
  EXPECT_EQ(third->members[0]->name.str(), "Ann");
  EXPECT_EQ(third->members[1]->name.str(), "Ben");
}

TEST_F(Four, AssigningFromAPartyThatSharesOurOwnMembers) {
  party owner;
  owner.AddMember(&a0);
  owner.AddMember(&a1);
  party viewer;
  viewer.shared_members = true;
  viewer.AddMember(owner.members[1]);
  // The viewer's member is one of the owner's own copies; it must outlive
  // the assignment that replaces the owner's members.
  owner = viewer;
  ASSERT_EQ(owner.member_count, 1);
  EXPECT_EQ(owner.members[0], viewer.members[0]);
  EXPECT_EQ(owner.members[0]->name.str(), "Ben");
}

TEST_F(Four, MovingKeepsTheOwnedMembers) {
  party source;
  source.AddMember(&a0);
  actor* member = source.members[0];
  party moved(std::move(source));
  EXPECT_EQ(moved.members[0], member);
  EXPECT_EQ(moved.members[0]->name.str(), "Ann");
}

}  // namespace
