#pragma once
// A small JSON document built in order and written with two-blank indentation, so that a
// generated file reads the same on every run and its diffs stay small.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class JsonValue {
 public:
  static JsonValue Text(std::string_view text);
  static JsonValue Object();
  static JsonValue Array();

  // Adds a member to an object (kept in the order added); returns *this for chaining.
  JsonValue& Add(std::string_view key, JsonValue value);
  JsonValue& Add(std::string_view key, std::string_view text) { return Add(key, Text(text)); }
  // Appends an element to an array.
  JsonValue& Push(JsonValue value);

  std::string Write() const;  // ends with a line feed

 private:
  enum class Kind { kText, kObject, kArray };
  void WriteTo(std::string& out, int depth) const;

  Kind kind_ = Kind::kText;
  std::string text_;
  std::vector<std::pair<std::string, JsonValue>> members_;  // objects and arrays (key unused)
};
