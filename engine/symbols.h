#pragma once
// The run's symbol table and the expansion of %%NAME%% references.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

struct EngineContext;

// Symbols of one run. Names compare byte for byte (case counts); the empty name is a
// name like any other. Reached by hash, so a lookup costs the same in a long script.
class SymbolTable {
 public:
  // Replaces the value of `name`, or adds the symbol. 0, or 1 when memory runs out.
  unsigned Set(std::string_view name, std::string_view value);
  // The value of `name`, or nullptr when the table has no such symbol.
  const std::string* Find(std::string_view name) const;
  std::size_t Count() const { return values_.size(); }
  void Clear() { values_.clear(); }

 private:
  std::unordered_map<std::string, std::string> values_;
};

unsigned SetSymbol(SymbolTable& table, std::string_view name, std::string_view value);
// Copies the value cut to what a buffer of `size` bytes holds; 0, or 28 when missing.
unsigned GetSymbol(const SymbolTable& table, std::string_view name, std::string& value,
                   std::size_t size);

// Writes `text` into `out` with every %%NAME%% replaced by its value. `size` is the
// output buffer's size: at most size - 1 bytes are produced. A value that does not fit
// into the room left is left out whole. An unclosed reference ends the text (status 0).
// Returns 0, 28 (a referenced symbol does not exist; `out` keeps what was written before
// the reference) or 1 (no memory).
unsigned ExpandSymbols(const EngineContext& ctx, std::string_view text, std::string& out,
                       std::size_t size);

// The expansion for every text a command acts on: a key, value or data it writes, a path
// it creates or deletes, a program it starts or ends. Such a command must never act on a
// text other than the one the script wrote, so where ExpandSymbols would leave a value out
// or cut the output, this fails with 59 (kErrSymbolTooLong) instead, and an unclosed
// reference (which would drop the rest of the text) fails with 28. `out` is then unusable.
// Texts that are only shown, compared or kept (SET, conditions, the log copy of a line)
// use ExpandSymbols.
unsigned ExpandForAction(const EngineContext& ctx, std::string_view text, std::string& out,
                         std::size_t size);
