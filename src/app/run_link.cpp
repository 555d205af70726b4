// run_link.cpp: the run's link, read and written. A hash is "#" and fields joined by '&', each
// "name=value" and each at most once; a field is read by its own reader in kFields, so a field
// added later is a reader and a writer more. The limits are checked on the whole run after
// reading, so the reader and the writer refuse the same runs.
#include "run_link.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "menu.h"
#include "scene.h"

namespace run_link {
namespace {

// A number's digits: up to 999,999,999, which any int holds.
constexpr std::size_t kMaxDigits = 9;
// The shortest choice a link can hold, "1@0" and its comma.
constexpr std::size_t kMinChoiceChars = 4;

bool StartsAnimation(int entry) { return kMainMenuEntries[entry - 1].value == kScaleDrawMode; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text with each "%XY" read as the byte it stands for; nothing for a '%' without two hex
// digits after it.
std::optional<std::string> Unescape(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes += text[i];
      continue;
    }
    const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
    const int low = high < 0 ? -1 : HexDigit(text[i + 2]);
    if (low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return bytes;
}

// A decimal without sign or leading zero, of at most kMaxDigits digits.
std::optional<std::uint64_t> Number(std::string_view text) {
  if (text.empty() || text.size() > kMaxDigits || (text[0] == '0' && text.size() > 1)) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (const char digit : text) {
    if (digit < '0' || digit > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(digit - '0');
  }
  return value;
}

// "run=ENTRY@TICK,ENTRY@TICK,..."
bool ReadChoices(std::string_view value, Reading& reading) {
  while (true) {
    const std::size_t comma = value.find(',');
    const std::string_view item = value.substr(0, comma);
    const std::size_t at = item.find('@');
    if (at == std::string_view::npos) return false;
    const auto entry = Number(item.substr(0, at));
    const auto tick = Number(item.substr(at + 1));
    if (!entry || !tick) return false;
    reading.run.choices.push_back({static_cast<int>(*entry), *tick});
    if (comma == std::string_view::npos) return true;
    value.remove_prefix(comma + 1);
  }
}

// "pause=TICK"
bool ReadPause(std::string_view value, Reading& reading) {
  reading.run.pausedAt = Number(value);
  return reading.run.pausedAt.has_value();
}

// "calls=LIST", read by call_list, whose refusal the link keeps.
bool ReadCalls(std::string_view value, Reading& reading) {
  reading.calls = call_list::Read(value);
  reading.run.calls = std::move(reading.calls.calls);
  reading.calls.calls.clear();
  return reading.calls.reason == call_list::Reason::kNone;
}

// "speed=1", "speed=2" or "speed=4": program time at 1/divisor of real time.
bool ReadSpeed(std::string_view value, Reading& reading) {
  if (value != "1" && value != "2" && value != "4") return false;
  reading.run.speedDivisor = value[0] - '0';
  return true;
}

struct Field {
  std::string_view name;
  bool (*read)(std::string_view value, Reading& reading);
};
constexpr Field kFields[] = {
    {"calls", ReadCalls}, {"run", ReadChoices}, {"pause", ReadPause}, {"speed", ReadSpeed}};

bool ReadFields(std::string_view text, Reading& reading) {
  bool seen[std::size(kFields)] = {};
  while (!text.empty()) {
    const std::size_t amp = text.find('&');
    const std::string_view part = text.substr(0, amp);
    const std::size_t equals = part.find('=');
    std::size_t known = 0;
    while (known < std::size(kFields) && part.substr(0, equals) != kFields[known].name) ++known;
    if (equals == std::string_view::npos || known == std::size(kFields) || seen[known] ||
        !kFields[known].read(part.substr(equals + 1), reading)) {
      return false;
    }
    seen[known] = true;
    if (amp == std::string_view::npos) return true;
    text.remove_prefix(amp + 1);
    if (text.empty()) return false;  // A trailing '&'.
  }
  return true;
}

// Appends the number in decimal.
void AppendNumber(std::string& text, std::uint64_t value) {
  char digits[20];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) text += digits[--count];
}

Reading Refuse(Reason reason, std::uint64_t found, std::uint64_t limit) {
  Reading reading;
  reading.reason = reason;
  reading.found = found;
  reading.limit = limit;
  return reading;
}

// The first limit the run breaks, in the run's order: entries, then ticks, then animations.
Reading Check(const Run& run) {
  if (run.speedDivisor != 1 && run.speedDivisor != 2 && run.speedDivisor != 4) {
    return Refuse(Reason::kMalformed, 0, 0);
  }
  for (const program_clock::Choice& choice : run.choices) {
    if (choice.entry < 1 || choice.entry > kMainMenuEntryCount) {
      return Refuse(Reason::kUnknownEntry, static_cast<std::uint64_t>(std::max(choice.entry, 0)),
                    kMainMenuEntryCount);
    }
  }
  std::uint64_t last = 0;
  const auto checkTick = [&last](std::uint64_t tick) {
    if (tick > program_clock::kMaxReplayTicks) {
      return Refuse(Reason::kTooFar, tick, program_clock::kMaxReplayTicks);
    }
    if (tick < last) return Refuse(Reason::kBackwards, tick, last);
    last = tick;
    return Reading{};
  };
  for (const program_clock::Choice& choice : run.choices) {
    Reading reading = checkTick(choice.tick);
    if (reading.reason != Reason::kNone) return reading;
  }
  if (run.pausedAt) {
    Reading reading = checkTick(*run.pausedAt);
    if (reading.reason != Reason::kNone) return reading;
  }
  std::uint64_t animations = 0;
  std::uint64_t animationTicks = 0;
  for (const program_clock::Choice& choice : run.choices) {
    if (!StartsAnimation(choice.entry)) continue;
    ++animations;
    animationTicks += last - choice.tick;
  }
  if (animations > kMaxAnimations) {
    return Refuse(Reason::kTooManyAnimations, animations, kMaxAnimations);
  }
  if (animationTicks > kMaxAnimationTicks) {
    return Refuse(Reason::kTooMuchTrace, animationTicks, kMaxAnimationTicks);
  }
  return Reading{};
}

// The run's hash, however long: fields in the order calls, run, pause, speed.
std::string HashOf(const Run& run) {
  std::string hash;
  const auto field = [&hash](const char* name) {
    hash += hash.empty() ? "#" : "&";
    hash += name;
    hash += '=';
  };
  if (run.calls) {
    field("calls");
    hash += call_list::Write(*run.calls);
  }
  for (const program_clock::Choice& choice : run.choices) {
    if (&choice == run.choices.data()) {
      field("run");
    } else {
      hash += ',';
    }
    AppendNumber(hash, static_cast<std::uint64_t>(choice.entry));
    hash += '@';
    AppendNumber(hash, choice.tick);
  }
  if (run.pausedAt) {
    field("pause");
    AppendNumber(hash, *run.pausedAt);
  }
  if (run.speedDivisor != 1) {
    field("speed");
    AppendNumber(hash, static_cast<std::uint64_t>(run.speedDivisor));
  }
  return hash;
}

}  // namespace

// A link read is written again and measured: the calls' numbers are written in their shortest
// form, which can be longer than the form read (".5", "1e20"), and the writer refuses what does
// not fit.
Reading Read(std::string_view hash) {
  if (hash.size() > kMaxChars) return Refuse(Reason::kTooLong, hash.size(), kMaxChars);
  if (!hash.empty() && hash.front() == '#') hash.remove_prefix(1);
  const std::optional<std::string> text = Unescape(hash);
  Reading read;
  if (!text || !ReadFields(*text, read)) {
    if (read.calls.reason == call_list::Reason::kNone) return Refuse(Reason::kMalformed, 0, 0);
    Reading refused = Refuse(Reason::kCalls, read.calls.found, read.calls.limit);
    refused.calls = std::move(read.calls);
    return refused;
  }
  Reading reading = Check(read.run);
  if (reading.reason != Reason::kNone) return reading;
  const std::size_t written = HashOf(read.run).size();
  if (written > kMaxChars) return Refuse(Reason::kTooLong, written, kMaxChars);
  reading.run = std::move(read.run);
  return reading;
}

std::optional<std::string> Write(const Run& run) {
  if (run.choices.size() > kMaxChars / kMinChoiceChars + 1 ||
      (run.calls && run.calls->size() > call_list::kMaxCalls) ||
      Check(run).reason != Reason::kNone) {
    return std::nullopt;
  }
  std::string hash = HashOf(run);
  if (hash.size() > kMaxChars) return std::nullopt;
  return hash;
}

const char* ReasonName(const Reading& reading) {
  switch (reading.reason) {
    case Reason::kNone:
      return "";
    case Reason::kTooLong:
      return "too-long";
    case Reason::kMalformed:
      return "malformed";
    case Reason::kUnknownEntry:
      return "unknown-entry";
    case Reason::kBackwards:
      return "backwards";
    case Reason::kTooFar:
      return "too-far";
    case Reason::kTooManyAnimations:
      return "too-many-animations";
    case Reason::kTooMuchTrace:
      return "too-much-trace";
    case Reason::kCalls:
      return call_list::ReasonName(reading.calls.reason);
  }
  return "";
}

}  // namespace run_link
