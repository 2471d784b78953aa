#ifndef OSSIVAR_TOOLS_TOV_FIELD_KEYS_H
#define OSSIVAR_TOOLS_TOV_FIELD_KEYS_H

#include <string>
#include <utility>
#include <vector>

#include "model/fields.h"

// The keys a field list names, in its order: the members of a record's
// JSON object. The record size field has none: it is the writer's.
struct field_key {
  enum form { kValue, kReference, kList, kGroup };
  std::string key;
  form kind;
};

class key_lister {
 public:
  std::vector<field_key> keys;

  void Size(const char*, const size_field&) {}
  template <class... Value>
  void Id(const char* key, Value&&...) { Add(key); }
  template <class... Value>
  void Text(const char* key, Value&&...) { Add(key); }
  template <class... Value>
  void Flag(const char* key, Value&&...) { Add(key); }
  template <class... Value>
  void Aspect(const char* key, Value&&...) { Add(key); }
  template <class... Value>
  void Points(const char* key, Value&&...) { Add(key); }
  template <class... Value>
  void Affinity(const char* key, Value&&...) { Add(key); }
  template <class... Value>
  void Reference(const char* key, Value&&...) { Add(key, field_key::kReference); }
  template <class... Value>
  void References(const char* key, Value&&...) { Add(key, field_key::kList); }
  template <class Fields>
  void Group(const char* key, Fields&&) { Add(key, field_key::kGroup); }

 private:
  void Add(const char* key, const field_key::form& kind = field_key::kValue) { keys.push_back({key, kind}); }
};

// The keys of a walk over fields, such as a record's Fields or a group's.
template <class Walk>
std::vector<field_key> KeysOf(Walk&& walk) {
  key_lister lister;
  walk(lister);
  return std::move(lister.keys);
}

#endif
