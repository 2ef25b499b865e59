#include "tools/orqdoc/json_text.h"

namespace {
void WriteString(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}
}  // namespace

JsonValue JsonValue::Text(std::string_view text) {
  JsonValue value;
  value.text_.assign(text);
  return value;
}

JsonValue JsonValue::Object() {
  JsonValue value;
  value.kind_ = Kind::kObject;
  return value;
}

JsonValue JsonValue::Array() {
  JsonValue value;
  value.kind_ = Kind::kArray;
  return value;
}

JsonValue& JsonValue::Add(std::string_view key, JsonValue value) {
  members_.emplace_back(std::string(key), std::move(value));
  return *this;
}

JsonValue& JsonValue::Push(JsonValue value) { return Add("", std::move(value)); }

std::string JsonValue::Write() const {
  std::string out;
  WriteTo(out, 0);
  out += '\n';
  return out;
}

void JsonValue::WriteTo(std::string& out, int depth) const {
  if (kind_ == Kind::kText) {
    WriteString(out, text_);
    return;
  }
  const char open = kind_ == Kind::kObject ? '{' : '[';
  const char close = kind_ == Kind::kObject ? '}' : ']';
  if (members_.empty()) {
    out += open;
    out += close;
    return;
  }
  const std::string inner(2 * (depth + 1), ' ');
  out += open;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    out += inner;
    if (kind_ == Kind::kObject) {
      WriteString(out, members_[i].first);
      out += ": ";
    }
    members_[i].second.WriteTo(out, depth + 1);
  }
  out += '\n';
  out += std::string(2 * depth, ' ');
  out += close;
}
