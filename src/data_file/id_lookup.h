#ifndef OSSIVAR_DATA_FILE_ID_LOOKUP_H
#define OSSIVAR_DATA_FILE_ID_LOOKUP_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

// The one rule for finding a record by its identifier: the last record that
// carries it; when none does, the first record; in an empty collection,
// none. Reading resolves every reference by it, and so do FindRace,
// FindCareer and FindActor.
//
// Built once per collection, a lookup costs the same however many records
// there are. Files the game wrote number their records by position, which
// needs no table at all. A single lookup needs no table either: Scan walks
// the records once.
class id_lookup {
 public:
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  id_lookup() = default;
  template <class Collection>
  explicit id_lookup(const Collection& records) {
    Build(records);
  }

  template <class Collection>
  void Build(const Collection& records) {
    BuildFrom(records.size(), [&](const std::size_t& i) { return records[i].id; });
  }

  // From the identifiers alone, in record order, for a reader that kept
  // them while the records were at hand.
  void BuildFromIds(const std::vector<std::uint32_t>& ids) {
    BuildFrom(ids.size(), [&](const std::size_t& i) { return ids[i]; });
  }

  // The position the identifier leads to, or kNone.
  std::size_t Find(const std::uint32_t& id) const {
    if (by_position_) return OrFirst(id < size_ ? id : kNone, size_);
    const auto found = last_.find(id);
    return OrFirst(found == last_.end() ? kNone : found->second, size_);
  }

  // The same, for one lookup: from the last record back, without a table.
  template <class Collection>
  static std::size_t Scan(const Collection& records, const std::uint32_t& id) {
    for (std::size_t i = records.size(); i > 0; --i) {
      if (records[i - 1].id == id) return i - 1;
    }
    return OrFirst(kNone, records.size());
  }

  // Whether some record carries the identifier itself.
  bool Carries(const std::uint32_t& id) const { return by_position_ ? id < size_ : last_.count(id) != 0; }

 private:
  // Where a search that found `carrier` (kNone for no record) leads: there,
  // else the first record; nowhere in an empty collection.
  static std::size_t OrFirst(const std::size_t& carrier, const std::size_t& size) {
    if (size == 0) return kNone;
    return carrier == kNone ? 0 : carrier;
  }

  template <class IdAt>
  void BuildFrom(const std::size_t& size, const IdAt& id_at) {
    size_ = size;
    last_.clear();
    by_position_ = true;
    for (std::size_t i = 0; i < size_ && by_position_; ++i) by_position_ = id_at(i) == i;
    if (by_position_) return;
    last_.reserve(size_);
    for (std::size_t i = 0; i < size_; ++i) last_[id_at(i)] = i;
  }

  std::unordered_map<std::uint32_t, std::size_t> last_;
  std::size_t size_ = 0;
  bool by_position_ = true;
};

// The record the identifier leads to, or nullptr in an empty collection.
// A loop that looks up many identifiers builds an id_lookup once instead.
template <class Collection>
auto FindById(Collection& records, const std::uint32_t& id) -> decltype(&records[0]) {
  const std::size_t at = id_lookup::Scan(records, id);
  return at == id_lookup::kNone ? nullptr : &records[at];
}

#endif
