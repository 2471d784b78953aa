#include "platform/recorder.h"

#include <chrono>
#include <string>

namespace recorder {
namespace {

sink* attached = nullptr;
std::chrono::steady_clock::time_point start;

void Send(char type, std::string data) {
  if (attached == nullptr) return;
  const auto elapsed = std::chrono::steady_clock::now() - start;
  recording::event happened;
  happened.microseconds = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
  happened.type = type;
  happened.data = std::move(data);
  attached->Take(happened);
}

}  // namespace

void Attach(sink* to) {
  attached = to;
  start = std::chrono::steady_clock::now();
}

void Output(std::string_view bytes) {
  if (attached != nullptr) Send(recording::kOutput, recording::AsShown(bytes));
}

void Echo(std::string_view bytes) {
  if (attached != nullptr) Send(recording::kOutput, recording::AsEchoed(bytes));
}

void Input(std::string_view bytes) { Send(recording::kInput, std::string(bytes)); }

void Clock(std::int64_t seconds) { Send(recording::kClock, std::to_string(seconds)); }

void Resize(unsigned short columns, unsigned short rows) {
  Send(recording::kResize, recording::SizeText(columns, rows));
}

void Waiting() {
  if (attached != nullptr) attached->Waiting();
}

}  // namespace recorder
