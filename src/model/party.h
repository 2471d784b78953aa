#ifndef OSSIVAR_MODEL_PARTY_H
#define OSSIVAR_MODEL_PARTY_H

#include <cstdint>
#include <initializer_list>
#include <istream>
#include <memory>
#include <ostream>
#include <vector>

#include "model/actor.h"
#include "model/fields.h"
#include "model/pstr.h"

// A named group of actors. With shared_members set the members live
// elsewhere (the data file's actors) and copies share them; with it clear
// copying the party copies every member, and the party owns those copies.
class party {
 public:
  static constexpr unsigned char kMaxMembers = 250;

  // Result codes of the member operations.
  static constexpr int kDone = 0;
  static constexpr int kFull = 1;
  static constexpr int kEmpty = 2;
  static constexpr int kNotFound = 3;
  static constexpr int kBadIndex = 4;

  std::uint32_t id = 0;
  pstr<unsigned char> name{"Adventurers"};
  bool shared_members = false;
  unsigned char member_count = 0;
  std::vector<actor*> members;
  // Identifiers as read from a file, until the data file resolves them.
  std::vector<std::uint32_t> member_ids;

  party() = default;
  // Refers to the first count listed actors without owning them.
  party(const pstr<unsigned char>& party_name, const unsigned char& count,
        const std::initializer_list<actor*>& list);
  party(const party& other);
  party(party&&) noexcept = default;
  party& operator=(const party& other);
  party& operator=(party&&) noexcept = default;
  ~party() = default;

  std::uint32_t ID() const { return id; }
  // Every byte of the file form, its own 4-byte size field included.
  std::uint32_t Size() const;

  actor** Begin() { return members.data(); }
  actor** End() { return members.data() + members.size(); }

  // A null actor is refused with kNotFound by both actor forms.
  int AddMember(actor* a);
  int RemoveMember(const int& index);
  // Matches by identifier; the last match is removed.
  int RemoveMember(actor* a);

  // Fills members from member_ids through find, an actor* (std::uint32_t)
  // callable; an identifier that finds no actor drops its slot. A template,
  // as the data file calls it for every member it loads.
  template <class Find>
  void ResolveMembers(const Find& find) {
    ReleaseMembers();
    members.reserve(member_ids.size());
    for (const std::uint32_t& member_id : member_ids) {
      actor* found = find(member_id);
      if (!found) continue;
      members.push_back(shared_members ? found : OwnCopy(*found));
    }
    member_count = static_cast<unsigned char>(members.size());
  }

  // The identifiers the file form lists: each member's own, or the one read
  // for a slot not yet resolved.
  std::vector<std::uint32_t> MemberIds() const;

  // The file form (model/fields.h). Filled, it lists member_ids, the
  // identifiers as read, which the data file then resolves; written, it
  // lists MemberIds().
  template <class V>
  void Fields(V& v) {
    FieldsOf(*this, member_ids, v);
  }
  template <class V>
  void Fields(V& v) const {
    const std::vector<std::uint32_t> ids = MemberIds();
    FieldsOf(*this, ids, v);
  }

 private:
  template <class Self, class Ids, class V>
  static void FieldsOf(Self& self, Ids& ids, V& v) {
    v.Size("size", kSizeOfWhole);
    v.Id("id", self.id);
    v.Text("name", self.name);
    v.Flag("shared_members", self.shared_members, presence::kOptional);
    v.References("members", ids, record_kind::kActor, kMaxMembers);
  }

  actor* OwnCopy(const actor& source);
  void ReleaseMembers();

  std::vector<std::unique_ptr<actor>> owned_;

  friend std::istream& operator>>(std::istream& in, party& p);
};

std::ostream& operator<<(std::ostream& out, const party& p);
std::istream& operator>>(std::istream& in, party& p);

#endif
