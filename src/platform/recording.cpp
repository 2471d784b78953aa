#include "platform/recording.h"

#include <charconv>
#include <cstdio>

#include "platform/byte_text.h"
#include "platform/json_text.h"

namespace recording {
namespace {

constexpr char kMember[] = "ossivar";

std::string Flag(bool on) { return on ? "true" : "false"; }

std::string Seconds(std::int64_t microseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(microseconds / 1000000),
                static_cast<long long>(microseconds % 1000000));
  return text;
}

std::string FilesObject(const std::vector<data_file>& files) {
  std::string object = "{";
  for (const data_file& file : files) {
    if (object.size() > 1) object += ", ";
    object += json_text::Quote(byte_text::ToText(file.name)) + ": " +
              json_text::Quote(byte_text::ToBase64(file.bytes));
  }
  return object + "}";
}

template <typename Number>
bool WholeNumber(std::string_view text, Number* number) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, *number);
  return result.ec == std::errc() && result.ptr == end;
}

// Later than any session lasts, and early enough that its microseconds
// still fit: a damaged time must not overflow.
constexpr std::int64_t kLatestSecond = 1000000000000;

// asciicast times are seconds with a fraction; other writers may use any
// JSON number, so anything else goes through a double.
bool Microseconds(const std::string& text, std::int64_t* microseconds) {
  const std::size_t point = text.find('.');
  std::int64_t whole = 0;
  if (text.find_first_of("eE-") == std::string::npos &&
      WholeNumber(std::string_view(text).substr(0, point), &whole)) {
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1, 6);
    fraction.resize(6, '0');
    std::int64_t part = 0;
    if (whole > kLatestSecond || !WholeNumber(std::string_view(fraction), &part)) return false;
    *microseconds = whole * 1000000 + part;
    return true;
  }
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || seconds < 0 || seconds > static_cast<double>(kLatestSecond)) return false;
  *microseconds = static_cast<std::int64_t>(seconds * 1e6);
  return true;
}

bool Boolean(const json_text::value& object, const char* name, bool* flag) {
  const json_text::value* member = object.Find(name);
  if (member == nullptr || member->type != json_text::value::kind::kBoolean) return false;
  *flag = member->boolean;
  return true;
}

bool ReadTerminal(const json_text::value& ours, terminal_facts* facts) {
  if (!Boolean(ours, "output_is_terminal", &facts->output_is_terminal) ||
      !Boolean(ours, "input_is_terminal", &facts->input_is_terminal) || !Boolean(ours, "escapes", &facts->escapes)) {
    return false;
  }
  const json_text::value* size = ours.Find("size");
  if (size == nullptr || size->type != json_text::value::kind::kString) return false;
  return size->text.empty() || ParseSize(size->text, &facts->columns, &facts->rows);
}

// A replay writes each file into its data folder under this name: a name
// that could lead anywhere else (a folder, "..", a drive) is damage.
bool PlainName(const std::string& name) {
  const std::string leads_elsewhere("/\\:\0", 4);
  return !name.empty() && name != "." && name != ".." && name.find_first_of(leads_elsewhere) == std::string::npos;
}

bool ReadFiles(const json_text::value& ours, std::vector<data_file>* files) {
  const json_text::value* object = ours.Find("files");
  if (object == nullptr || object->type != json_text::value::kind::kObject) return false;
  for (const auto& [name, encoded] : object->members) {
    data_file file{byte_text::FromText(name), ""};
    if (!PlainName(file.name) || encoded.type != json_text::value::kind::kString ||
        !byte_text::FromBase64(encoded.text, &file.bytes)) {
      return false;
    }
    files->push_back(std::move(file));
  }
  return true;
}

verdict Problem(fault kind, std::string reason) { return {kind, std::move(reason)}; }

verdict ReadHeader(std::string_view line, header* head) {
  json_text::value top;
  std::string problem;
  const json_text::value* version = nullptr;
  if (!json_text::Parse(line, &top, &problem) || (version = top.Find("version")) == nullptr ||
      version->text != "2") {
    return Problem(fault::kNotRecording, "it is not an asciicast recording (version 2)");
  }
  const json_text::value* ours = top.Find(kMember);
  if (ours == nullptr) return Problem(fault::kNotOurs, "it was not recorded by OSSIVAR: it holds no keys to replay");
  const json_text::value* format = ours->Find("format");
  if (format == nullptr || format->text != std::to_string(kFormat)) {
    return Problem(fault::kOtherFormat, "it was recorded in a form this replay cannot read");
  }
  const json_text::value* game = ours->Find("version");
  const json_text::value* timestamp = top.Find("timestamp");
  if (game == nullptr || game->type != json_text::value::kind::kString || timestamp == nullptr ||
      !WholeNumber(std::string_view(timestamp->text), &head->timestamp) ||
      !ReadTerminal(*ours, &head->terminal) || !ReadFiles(*ours, &head->files)) {
    return Problem(fault::kDamaged, "its header is damaged");
  }
  head->version = game->text;
  if (const json_text::value* title = top.Find("title")) head->title = byte_text::FromText(title->text);
  return {};
}

bool ReadEvent(std::string_view line, event* happened) {
  json_text::value array;
  std::string problem;
  if (!json_text::Parse(line, &array, &problem) || array.type != json_text::value::kind::kArray ||
      array.items.size() != 3) {
    return false;
  }
  const json_text::value& time = array.items[0];
  const json_text::value& type = array.items[1];
  const json_text::value& data = array.items[2];
  if (time.type != json_text::value::kind::kNumber || !Microseconds(time.text, &happened->microseconds) ||
      type.type != json_text::value::kind::kString || type.text.size() != 1 ||
      data.type != json_text::value::kind::kString) {
    return false;
  }
  happened->type = type.text[0];
  happened->data = byte_text::FromText(data.text);
  return true;
}

}  // namespace

// Built by appending: g++ -O3 misreads a literal added in front of a
// temporary string as an overlapping copy.
std::string HeaderLine(const header& head) {
  const terminal_facts& facts = head.terminal;
  std::string line = "{\"version\": 2, \"width\": 80, \"height\": 24, \"timestamp\": ";
  line += std::to_string(head.timestamp);
  line += ", \"title\": " + json_text::Quote(byte_text::ToText(head.title));
  line += ", \"";
  line += kMember;
  line += "\": {\"format\": " + std::to_string(kFormat);
  line += ", \"version\": " + json_text::Quote(head.version);
  line += ", \"output_is_terminal\": " + Flag(facts.output_is_terminal);
  line += ", \"input_is_terminal\": " + Flag(facts.input_is_terminal);
  line += ", \"escapes\": " + Flag(facts.escapes);
  line += ", \"size\": \"" + (facts.columns == 0 ? std::string() : SizeText(facts.columns, facts.rows));
  line += "\", \"files\": " + FilesObject(head.files);
  line += "}}\n";
  return line;
}

std::string EventLine(const event& happened) {
  std::string line = "[";
  line += Seconds(happened.microseconds);
  line += ", \"";
  line += happened.type;
  line += "\", ";
  line += json_text::Quote(byte_text::ToText(happened.data));
  line += "]\n";
  return line;
}

std::string SizeText(unsigned short columns, unsigned short rows) {
  return std::to_string(columns) + "x" + std::to_string(rows);
}

bool ParseSize(std::string_view text, unsigned short* columns, unsigned short* rows) {
  const std::size_t cross = text.find('x');
  if (cross == std::string_view::npos) return false;
  unsigned short wide = 0;
  unsigned short high = 0;
  if (!WholeNumber(text.substr(0, cross), &wide) || !WholeNumber(text.substr(cross + 1), &high) || wide == 0 ||
      high == 0) {
    return false;
  }
  *columns = wide;
  *rows = high;
  return true;
}

std::string AsShown(std::string_view bytes) {
  std::string shown;
  shown.reserve(bytes.size() + bytes.size() / 16);
  for (const char byte : bytes) {
    if (byte == '\n') shown += '\r';
    shown += byte;
  }
  return shown;
}

std::string AsEchoed(std::string_view bytes) {
  std::string shown;
  for (const char byte : bytes) {
    const auto code = static_cast<unsigned char>(byte);
    if (byte == '\n') {
      shown += "\r\n";
    } else if ((code < 0x20 && byte != '\t') || code == 0x7f) {
      shown += '^';
      shown += static_cast<char>(code ^ 0x40);
    } else {
      shown += byte;
    }
  }
  return shown;
}

verdict Read(std::string_view file, contents* out) {
  *out = contents{};
  const std::size_t first_end = file.find('\n');
  verdict read = ReadHeader(file.substr(0, first_end), &out->head);
  if (!read.ok() || first_end == std::string_view::npos) return read;
  std::size_t line_number = 1;
  for (std::size_t start = first_end + 1; start < file.size();) {
    ++line_number;
    const std::size_t end = file.find('\n', start);
    const std::string_view line = file.substr(start, end == std::string_view::npos ? end : end - start);
    event happened;
    if (!ReadEvent(line, &happened)) {
      // Only the last line may be unfinished: the recorder was stopped
      // while writing it.
      if (end == std::string_view::npos) break;
      return Problem(fault::kDamaged, "it is damaged: line " + std::to_string(line_number) + " is not an event");
    }
    out->events.push_back(std::move(happened));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return {};
}

}  // namespace recording
