#include "engine/symbols.h"

#include <new>

#include "engine/errors.h"
#include "engine/script_model.h"
#include "support/mbcs.h"

unsigned SymbolTable::Set(std::string_view name, std::string_view value) {
  try {
    auto it = values_.find(std::string(name));
    if (it != values_.end()) {
      it->second.assign(value);
    } else {
      values_.emplace(std::string(name), std::string(value));
    }
    return 0;
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

const std::string* SymbolTable::Find(std::string_view name) const {
  auto it = values_.find(std::string(name));
  return it == values_.end() ? nullptr : &it->second;
}

unsigned SetSymbol(SymbolTable& table, std::string_view name, std::string_view value) {
  return table.Set(name, value);
}

unsigned GetSymbol(const SymbolTable& table, std::string_view name, std::string& value,
                   std::size_t size) {
  const std::string* found = table.Find(name);
  if (!found) return 28;
  value.assign(CutToBytes(*found, size ? size - 1 : 0));
  return 0;
}

namespace {
// Whether an expansion produced less than the text asked for.
enum class Shortened { kNo, kValueOrTail, kUnclosed };

unsigned Expand(const EngineContext& ctx, std::string_view text, std::string& out,
                std::size_t size, Shortened& shortened) {
  out.clear();
  shortened = Shortened::kNo;
  const std::size_t limit = size ? size - 1 : 0;
  try {
    std::size_t i = 0;
    while (i < text.size() && text[i] != '\0') {
      if (out.size() >= limit) {
        shortened = Shortened::kValueOrTail;
        break;
      }
      if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
        std::size_t close = FindText(text, "%%", i + 2);
        if (close == std::string_view::npos) {  // unclosed: the rest is left out
          shortened = Shortened::kUnclosed;
          break;
        }
        const std::string* value = ctx.symbols.Find(text.substr(i + 2, close - i - 2));
        if (!value) return 28;
        if (value->size() <= limit - out.size()) {
          out += *value;
        } else {
          shortened = Shortened::kValueOrTail;  // left out whole
        }
        i = close + 2;
        continue;
      }
      std::size_t len = CharLength(text, i);
      if (out.size() + len > limit) {
        shortened = Shortened::kValueOrTail;
        break;
      }
      out.append(text.substr(i, len));
      i += len;
    }
  } catch (const std::bad_alloc&) {
    return 1;
  }
  return 0;
}
}  // namespace

unsigned ExpandSymbols(const EngineContext& ctx, std::string_view text, std::string& out,
                       std::size_t size) {
  Shortened ignored;
  return Expand(ctx, text, out, size, ignored);
}

unsigned ExpandForAction(const EngineContext& ctx, std::string_view text, std::string& out,
                         std::size_t size) {
  Shortened shortened;
  unsigned status = Expand(ctx, text, out, size, shortened);
  if (status != 0) return status;
  switch (shortened) {
    case Shortened::kNo: return 0;
    case Shortened::kUnclosed: return kErrSymbolNotFound;
    case Shortened::kValueOrTail: return kErrSymbolTooLong;
  }
  return kErrSymbolTooLong;
}
