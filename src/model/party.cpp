#include "model/party.h"

#include <algorithm>

#include "model/record_io.h"

party::party(const pstr<unsigned char>& party_name, const unsigned char& count,
             const std::initializer_list<actor*>& list)
    : name(party_name) {
  const std::size_t n = std::min<std::size_t>(count, list.size());
  members.assign(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n));
  member_count = static_cast<unsigned char>(n);
}

party::party(const party& other) { *this = other; }

party& party::operator=(const party& other) {
  if (this == &other) return *this;
  id = other.id;
  name = other.name;
  shared_members = other.shared_members;
  member_ids = other.member_ids;
  // Build the new members before releasing the old ones: other may share
  // them with this party.
  std::vector<std::unique_ptr<actor>> old_owned = std::move(owned_);
  owned_.clear();
  members.clear();
  for (actor* member : other.members) {
    members.push_back(shared_members || !member ? member : OwnCopy(*member));
  }
  member_count = other.member_count;
  // A shared source may list actors this party owned; those stay alive.
  for (std::unique_ptr<actor>& old : old_owned) {
    if (std::find(members.begin(), members.end(), old.get()) != members.end())
      owned_.push_back(std::move(old));
  }
  return *this;
}

std::uint32_t party::Size() const { return record_io::Size(*this); }

actor* party::OwnCopy(const actor& source) {
  owned_.push_back(std::make_unique<actor>(source));
  return owned_.back().get();
}

void party::ReleaseMembers() {
  members.clear();
  owned_.clear();
  member_count = 0;
}

int party::AddMember(actor* a) {
  if (a == nullptr) return kNotFound;
  if (member_count >= kMaxMembers) return kFull;
  members.push_back(shared_members ? a : OwnCopy(*a));
  ++member_count;
  return kDone;
}

int party::RemoveMember(const int& index) {
  if (member_count == 0) return kEmpty;
  if (index < 0 || index >= member_count) return kBadIndex;
  // The removed actor stays alive: someone may still point at it.
  members.erase(members.begin() + index);
  --member_count;
  return kDone;
}

int party::RemoveMember(actor* a) {
  if (member_count == 0) return kEmpty;
  if (a == nullptr) return kNotFound;
  int found = -1;
  for (int i = 0; i < member_count; ++i) {
    if (members[i] && members[i]->id == a->id) found = i;
  }
  if (found < 0) return kNotFound;
  return RemoveMember(found);
}

std::vector<std::uint32_t> party::MemberIds() const {
  std::vector<std::uint32_t> ids(member_count, 0);
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const actor* member = i < members.size() ? members[i] : nullptr;
    if (member) {
      ids[i] = member->id;
    } else if (i < member_ids.size()) {
      ids[i] = member_ids[i];
    }
  }
  return ids;
}

std::ostream& operator<<(std::ostream& out, const party& p) {
  record_io::Write(out, p);
  return out;
}

std::istream& operator>>(std::istream& in, party& p) {
  p.ReleaseMembers();
  record_io::Read(in, p);
  // Slots stay empty until the data file resolves them.
  p.members.assign(p.member_ids.size(), nullptr);
  p.member_count = static_cast<unsigned char>(p.member_ids.size());
  return in;
}
