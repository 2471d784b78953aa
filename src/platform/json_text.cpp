#include "platform/json_text.h"

#include "platform/utf16.h"
#include "platform/utf8.h"

namespace json_text {
namespace {

// Deep enough for any recording, shallow enough that a hostile file cannot
// run the reader out of stack.
constexpr int kDeepest = 64;

bool Digit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (Digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Recursive descent over one text; stops at the first fault and keeps its
// words and place.
class reader {
 public:
  explicit reader(std::string_view text) : text_(text) {}

  bool Whole(value* out) {
    SkipSpace();
    if (!Value(out, 0)) return false;
    SkipSpace();
    return at_ == text_.size() || Fail("trailing characters", at_);
  }

  const std::string& problem() const { return problem_; }

 private:
  bool Fail(const char* words, const std::size_t& at) {
    problem_ = std::string(words) + " at byte " + std::to_string(at);
    return false;
  }

  // A fault at the current place, which may be the end of the text.
  bool Expected(const char* words) { return Fail(AtEnd() ? "unexpected end" : words, at_); }

  bool AtEnd() const { return at_ >= text_.size(); }
  bool At(char c) const { return !AtEnd() && text_[at_] == c; }

  bool Take(char c) {
    if (!At(c)) return false;
    ++at_;
    return true;
  }

  void SkipSpace() {
    while (At(' ') || At('\t') || At('\n') || At('\r')) ++at_;
  }

  bool Value(value* out, const int& depth) {
    if (AtEnd()) return Expected("");
    const char c = text_[at_];
    if (c == '{') return Object(out, depth + 1);
    if (c == '[') return Array(out, depth + 1);
    if (c == '"') {
      out->type = value::kind::kString;
      return String(&out->text);
    }
    if (c == '-' || Digit(c)) {
      out->type = value::kind::kNumber;
      return Number(&out->text);
    }
    if (c == 't' || c == 'f') {
      out->type = value::kind::kBoolean;
      out->boolean = c == 't';
      return Literal(out->boolean ? "true" : "false");
    }
    out->type = value::kind::kNull;
    return Literal("null");
  }

  bool Literal(std::string_view word) {
    for (const char c : word) {
      if (!At(c)) return Expected("unexpected character");
      ++at_;
    }
    return true;
  }

  bool Object(value* out, const int& depth) {
    if (depth > kDeepest) return Fail("nesting deeper than 64", at_);
    out->type = value::kind::kObject;
    ++at_;
    SkipSpace();
    if (Take('}')) return true;
    while (true) {
      SkipSpace();
      if (!At('"')) return Expected("expected a member name");
      std::pair<std::string, value> member;
      if (!String(&member.first)) return false;
      SkipSpace();
      if (!Take(':')) return Expected("expected ':'");
      SkipSpace();
      if (!Value(&member.second, depth)) return false;
      out->members.push_back(std::move(member));
      SkipSpace();
      if (Take('}')) return true;
      if (!At(',')) return Expected("expected ',' or '}'");
      ++at_;
    }
  }

  bool Array(value* out, const int& depth) {
    if (depth > kDeepest) return Fail("nesting deeper than 64", at_);
    out->type = value::kind::kArray;
    ++at_;
    SkipSpace();
    if (Take(']')) return true;
    while (true) {
      SkipSpace();
      out->items.emplace_back();
      if (!Value(&out->items.back(), depth)) return false;
      SkipSpace();
      if (Take(']')) return true;
      if (!At(',')) return Expected("expected ',' or ']'");
      ++at_;
    }
  }

  bool String(std::string* out) {
    const std::size_t start = at_++;
    while (!AtEnd()) {
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (Take('"')) return true;
      if (c == '\\') {
        if (!Escape(out)) return false;
      } else if (c < 0x20) {
        return Fail("control character in string", at_);
      } else {
        char32_t code = 0;
        std::size_t used = 1;
        if (!utf8::Decode(text_, at_, &code, &used)) return Fail("invalid UTF-8", at_);
        out->append(text_.substr(at_, used));
        at_ += used;
      }
    }
    return Fail("unterminated string", start);
  }

  bool Escape(std::string* out) {
    const std::size_t start = at_++;
    if (AtEnd()) return Expected("");
    const char c = text_[at_++];
    static constexpr char kNamed[] = "\"\\/bfnrt";
    static constexpr char kMeant[] = "\"\\/\b\f\n\r\t";
    for (std::size_t i = 0; i + 1 < sizeof kNamed; ++i) {
      if (c == kNamed[i]) {
        out->push_back(kMeant[i]);
        return true;
      }
    }
    if (c != 'u') return Fail("bad escape", start);
    char16_t unit = 0;
    if (!Hex4(&unit)) return Fail("bad escape", start);
    if (utf16::Low(unit)) return Fail("lone surrogate", start);
    if (!utf16::High(unit)) {
      utf8::Append(*out, unit);
      return true;
    }
    // The second half must follow at once, as an escape of its own.
    char16_t low = 0;
    const std::size_t second = at_;
    if (!Take('\\') || !Take('u')) return Fail("lone surrogate", start);
    if (!Hex4(&low)) return Fail("bad escape", second);
    if (!utf16::Low(low)) return Fail("lone surrogate", start);
    utf8::Append(*out, utf16::Pair(unit, low));
    return true;
  }

  bool Hex4(char16_t* unit) {
    if (text_.size() - at_ < 4) return false;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexDigit(text_[at_++]);
      if (digit < 0) return false;
      *unit = static_cast<char16_t>((*unit << 4) | digit);
    }
    return true;
  }

  // At least one digit.
  bool Digits() {
    if (AtEnd() || !Digit(text_[at_])) return false;
    while (!AtEnd() && Digit(text_[at_])) ++at_;
    return true;
  }

  bool Number(std::string* out) {
    const std::size_t start = at_;
    Take('-');
    if (Take('0')) {
      if (!AtEnd() && Digit(text_[at_])) return Fail("leading zero", start);
    } else if (!Digits()) {
      return Expected("bad number");
    }
    if (Take('.')) {
      if (!Digits()) return Expected("bad number");
    }
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return Expected("bad number");
    }
    *out = std::string(text_.substr(start, at_ - start));
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string problem_;
};

void AppendEscaped(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  switch (c) {
    case '"':
      out += "\\\"";
      return;
    case '\\':
      out += "\\\\";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    case '\b':
      out += "\\b";
      return;
    case '\f':
      out += "\\f";
      return;
    default:
      break;
  }
  out += "\\u00";
  out.push_back(kHex[c >> 4]);
  out.push_back(kHex[c & 0xF]);
}

}  // namespace

std::string Quote(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    // DEL too: a recording shown raw must not hide or act on it.
    if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') {
      AppendEscaped(out, byte);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

value::~value() = default;

const value* value::Find(std::string_view name) const {
  for (const auto& member : members) {
    if (member.first == name) return &member.second;
  }
  return nullptr;
}

bool Parse(std::string_view text, value* out, std::string* problem) {
  reader parser(text);
  value parsed;
  const bool ok = parser.Whole(&parsed);
  if (out != nullptr) *out = ok ? std::move(parsed) : value{};
  if (problem != nullptr) *problem = ok ? "" : parser.problem();
  return ok;
}

}  // namespace json_text
