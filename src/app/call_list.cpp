// call_list.cpp: the learner's calls read, checked and written. A number passes a grammar check
// ([-+]?digits[.digits]?([eE][-+]?digits)?, or [-+]?.digits) before strtof reads it, correctly
// rounded to float, so no hex, no words and no blanks reach it, and its length is bounded. The
// program never sets a locale, so strtof's decimal point is '.'.
#include "call_list.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace call_list {
namespace {

struct KindInfo {
  const char* name;
  std::size_t argumentCount;
};

constexpr KindInfo kKinds[] = {
    {"glLoadIdentity", 0}, {"glTranslatef", 3}, {"glRotatef", 4},     {"glScalef", 3},
    {"glPushMatrix", 0},   {"glPopMatrix", 0},  {"glutSolidCube", 1},
};

constexpr const char* kVariableNames[] = {"", "spinAngle", "scaleFactor"};

// The same calls drawing.cpp makes for each draw mode.
constexpr const char* kModeCalls[] = {
    "glLoadIdentity();glTranslatef(0.6,0,0);glRotatef(spinAngle,0,0,1);glTranslatef(-0.6,0,0);"
    "glTranslatef(0.6,0,0);glutSolidCube(0.3)",
    "glLoadIdentity();glRotatef(spinAngle,0,0,1);glutSolidCube(0.3)",
    "glLoadIdentity();glRotatef(spinAngle,0,0,1);glTranslatef(0.6,0,0);glutSolidCube(0.3)",
    "glLoadIdentity();glRotatef(spinAngle,0,0,1);glTranslatef(0.6,0,0);glRotatef(spinAngle,0,0,1);"
    "glTranslatef(-0.6,0,0);glTranslatef(0.6,0,0);glutSolidCube(0.3)",
    "glLoadIdentity();glScalef(scaleFactor,scaleFactor,scaleFactor);glRotatef(spinAngle,0,0,1);"
    "glutSolidCube(0.3)",
};

// The float's bits: two floats are the same number when their bits are, -0 and 0 apart.
std::uint32_t Bits(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNumberCharacter(char c) {
  return IsDigit(c) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Skips digits from i; how many.
std::size_t Digits(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i - start;
}

// The number grammar: kOk for a whole number, kIncomplete for a text a number can start with.
ArgumentState NumberShape(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const std::size_t whole = Digits(text, i);
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (Digits(text, i) == 0)
      return i == text.size() ? ArgumentState::kIncomplete : ArgumentState::kMalformed;
  } else if (whole == 0) {
    return i == text.size() ? ArgumentState::kIncomplete : ArgumentState::kMalformed;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    if (Digits(text, i) == 0)
      return i == text.size() ? ArgumentState::kIncomplete : ArgumentState::kMalformed;
  }
  return i == text.size() ? ArgumentState::kOk : ArgumentState::kMalformed;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c =
        text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != word[i]) return false;
  }
  return true;
}

Reading Refuse(Reason reason, std::size_t position, std::uint64_t found, std::uint64_t limit) {
  Reading reading;
  reading.reason = reason;
  reading.position = position;
  reading.found = found;
  reading.limit = limit;
  return reading;
}

// One call, "name(arg,arg,...)", at its 1-based position.
Reading ReadCall(std::string_view text, std::size_t position, Call& call) {
  const std::size_t open = text.find('(');
  if (open == std::string_view::npos || text.back() != ')' || open == 0) {
    return Refuse(Reason::kMalformed, position, 0, 0);
  }
  const std::string_view name = text.substr(0, open);
  for (const char c : name) {
    if (!IsLetter(c)) return Refuse(Reason::kMalformed, position, 0, 0);
  }
  std::string_view inside = text.substr(open + 1, text.size() - open - 2);
  std::size_t kind = 0;
  while (kind < std::size(kKinds) && name != kKinds[kind].name) ++kind;
  if (kind == std::size(kKinds)) return Refuse(Reason::kUnknownCall, position, 0, 0);
  for (const char c : inside) {
    if (!IsNumberCharacter(c) && !IsLetter(c) && c != ',') {
      return Refuse(Reason::kMalformed, position, 0, 0);
    }
  }
  std::vector<std::string_view> parts;
  while (!inside.empty()) {
    const std::size_t comma = inside.find(',');
    parts.push_back(inside.substr(0, comma));
    if (comma == std::string_view::npos) break;
    inside.remove_prefix(comma + 1);
    if (inside.empty()) parts.emplace_back();  // A trailing comma: an empty argument.
  }
  if (parts.size() != kKinds[kind].argumentCount) {
    return Refuse(Reason::kArgumentCount, position, parts.size(), kKinds[kind].argumentCount);
  }
  call.kind = static_cast<CallKind>(kind);
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const ArgumentReading argument = ReadArgument(parts[k]);
    if (argument.state != ArgumentState::kOk) return Refuse(Reason::kBadNumber, position, k + 1, 0);
    call.arguments.push_back(argument.argument);
  }
  return Reading{};
}

// The float in JavaScript's form, from its shortest digits d1.d2...dk x 10^exponent.
std::string JavaScriptForm(bool negative, const std::string& digits, int exponent) {
  const int k = static_cast<int>(digits.size());
  const int n = exponent + 1;  // Digits before the decimal point.
  std::string text = negative ? "-" : "";
  if (k <= n && n <= 21) {
    text += digits + std::string(static_cast<std::size_t>(n - k), '0');
  } else if (0 < n && n <= 21) {
    text += digits.substr(0, static_cast<std::size_t>(n)) + "." +
            digits.substr(static_cast<std::size_t>(n));
  } else if (-6 < n && n <= 0) {
    text += "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
  } else {
    text += digits.substr(0, 1);
    if (k > 1) text += "." + digits.substr(1);
    text += exponent > 0 ? "e+" : "e-";
    text += std::to_string(exponent > 0 ? exponent : -exponent);
  }
  return text;
}

}  // namespace

bool Argument::operator==(const Argument& other) const {
  if (variable != other.variable) return false;
  return variable != Variable::kNone || Bits(value) == Bits(other.value);
}

ArgumentReading ReadArgument(std::string_view text) {
  ArgumentReading reading;
  if (text.empty()) {
    reading.state = ArgumentState::kEmpty;
    return reading;
  }
  for (std::size_t v = 1; v < std::size(kVariableNames); ++v) {
    const std::string_view name = kVariableNames[v];
    if (text == name) {
      reading.state = ArgumentState::kOk;
      reading.argument.variable = static_cast<Variable>(v);
      return reading;
    }
    if (name.substr(0, text.size()) == text) {
      reading.state = ArgumentState::kIncomplete;
      return reading;
    }
  }
  std::string_view unsigned_text = text;
  if (unsigned_text[0] == '-' || unsigned_text[0] == '+') unsigned_text.remove_prefix(1);
  if (EqualsIgnoringCase(unsigned_text, "nan")) {
    reading.state = ArgumentState::kNotANumber;
    return reading;
  }
  if (EqualsIgnoringCase(unsigned_text, "inf") || EqualsIgnoringCase(unsigned_text, "infinity")) {
    reading.state = ArgumentState::kInfinite;
    return reading;
  }
  if (text.size() > kMaxArgumentChars) return reading;
  reading.state = NumberShape(text);
  if (reading.state != ArgumentState::kOk) return reading;
  const std::string copy(text);
  const float value = std::strtof(copy.c_str(), nullptr);
  if (!std::isfinite(value)) {
    reading.state = ArgumentState::kOutOfRange;
    return reading;
  }
  reading.argument.value = value;
  return reading;
}

std::string WriteArgument(const Argument& argument) {
  if (argument.variable != Variable::kNone) {
    return kVariableNames[static_cast<std::size_t>(argument.variable)];
  }
  const float value = argument.value;
  if (value == 0.0f) return std::signbit(value) ? "-0" : "0";
  char text[32];
  for (int digits = 1; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*e", digits - 1, static_cast<double>(value));
    const float back = std::strtof(text, nullptr);
    if (Bits(back) == Bits(value) || digits == 9) break;
  }
  // text is "[-]d[.ddd]e[+-]xx": its digits without trailing zeros, and its exponent.
  const bool negative = text[0] == '-';
  const char* mark = std::strchr(text, 'e');
  std::string all;
  for (const char* c = text + (negative ? 1 : 0); c < mark; ++c) {
    if (*c != '.') all += *c;
  }
  while (all.size() > 1 && all.back() == '0') all.pop_back();
  return JavaScriptForm(negative, all, std::atoi(mark + 1));
}

Reading Read(std::string_view text) {
  if (text.size() > kMaxChars) return Refuse(Reason::kMalformed, 0, text.size(), kMaxChars);
  Reading reading;
  if (text.empty()) return reading;
  std::size_t count = 1;
  for (const char c : text) count += c == ';' ? 1 : 0;
  if (count > kMaxCalls) return Refuse(Reason::kTooManyCalls, kMaxCalls + 1, count, kMaxCalls);
  std::size_t position = 0;
  while (true) {
    const std::size_t semicolon = text.find(';');
    const std::string_view part = text.substr(0, semicolon);
    ++position;
    if (part.empty()) return Refuse(Reason::kMalformed, position, 0, 0);
    Call call;
    Reading one = ReadCall(part, position, call);
    if (one.reason != Reason::kNone) return one;
    reading.calls.push_back(std::move(call));
    if (semicolon == std::string_view::npos) return reading;
    text.remove_prefix(semicolon + 1);
  }
}

std::string Write(const std::vector<Call>& calls) {
  std::string text;
  for (const Call& call : calls) {
    if (!text.empty()) text += ';';
    text += CallName(call.kind);
    text += '(';
    for (std::size_t k = 0; k < call.arguments.size(); ++k) {
      if (k > 0) text += ',';
      text += WriteArgument(call.arguments[k]);
    }
    text += ')';
  }
  return text;
}

const char* CallName(CallKind kind) { return kKinds[static_cast<std::size_t>(kind)].name; }

const char* ReasonName(Reason reason) {
  switch (reason) {
    case Reason::kNone:
      return "";
    case Reason::kUnknownCall:
      return "unknown-call";
    case Reason::kArgumentCount:
      return "argument-count";
    case Reason::kBadNumber:
      return "bad-number";
    case Reason::kTooManyCalls:
      return "too-many-calls";
    case Reason::kMalformed:
      return "malformed";
  }
  return "";
}

const char* ArgumentStateName(ArgumentState state) {
  switch (state) {
    case ArgumentState::kOk:
      return "ok";
    case ArgumentState::kIncomplete:
      return "incomplete";
    case ArgumentState::kEmpty:
      return "empty";
    case ArgumentState::kNotANumber:
      return "not-a-number";
    case ArgumentState::kInfinite:
      return "infinite";
    case ArgumentState::kOutOfRange:
      return "out-of-range";
    case ArgumentState::kMalformed:
      return "malformed";
  }
  return "malformed";
}

const char* ModeCalls(int mode) { return mode >= 1 && mode <= 5 ? kModeCalls[mode - 1] : ""; }

}  // namespace call_list
