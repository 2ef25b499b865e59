#include "host/registrar_script_parse.h"

#include <cstddef>

#include "engine/text_args.h"

namespace {
enum class TokenKind { Word, Quoted, Open, Close, Equals, End };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
  std::size_t offset = 0;
};

bool EndsWord(char c) { return IsWhiteSpace(c) || c == '{' || c == '}' || c == '=' || c == '\''; }

std::string At(std::size_t offset) { return " at offset " + std::to_string(offset); }

// Replaces "%NAME%" and "%%" inside one token's text.
bool ReplaceVariables(const Token& token, const std::vector<RegistrarVariable>& variables,
                      std::string& out, std::string& error) {
  out.clear();
  const std::string& text = token.text;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '%') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {
      error = "unclosed variable" + At(token.offset);
      return false;
    }
    std::string_view name(text.data() + i + 1, close - i - 1);
    if (name.empty()) {
      out.push_back('%');
    } else {
      const RegistrarVariable* found = nullptr;
      for (const RegistrarVariable& variable : variables) {
        if (EqualsNoCase(variable.name, name)) found = &variable;
      }
      if (!found) {
        error = "unknown variable %" + std::string(name) + "%" + At(token.offset);
        return false;
      }
      out += found->value;
    }
    i = close + 1;
  }
  return true;
}

bool Tokenize(std::string_view text, const std::vector<RegistrarVariable>& variables,
              std::vector<Token>& tokens, std::string& error) {
  std::size_t i = 0;
  for (;;) {
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    Token token;
    token.offset = i;
    if (i == text.size()) {
      tokens.push_back(token);
      return true;
    }
    char c = text[i];
    if (c == '{' || c == '}' || c == '=') {
      token.kind = c == '{' ? TokenKind::Open : c == '}' ? TokenKind::Close : TokenKind::Equals;
      ++i;
      tokens.push_back(token);
      continue;
    }
    if (c == '\'') {
      // A quoted text; two quotes inside stand for one.
      token.kind = TokenKind::Quoted;
      for (++i;; ++i) {
        if (i == text.size()) {
          error = "unclosed quote" + At(token.offset);
          return false;
        }
        if (text[i] == '\'') {
          if (i + 1 < text.size() && text[i + 1] == '\'') {
            token.text.push_back('\'');
            ++i;
            continue;
          }
          ++i;
          break;
        }
        token.text.push_back(text[i]);
      }
    } else {
      token.kind = TokenKind::Word;
      while (i < text.size() && !EndsWord(text[i])) token.text.push_back(text[i++]);
    }
    std::string replaced;
    if (!ReplaceVariables(token, variables, replaced, error)) return false;
    token.text = std::move(replaced);
    tokens.push_back(std::move(token));
  }
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  bool ParseBlocks(std::vector<RegistrarRootBlock>& blocks) {
    while (Peek().kind != TokenKind::End) {
      const Token& name = Next();
      RegistrarRootBlock block;
      if (name.kind != TokenKind::Word || !FindRegistrarRoot(name.text, block.root)) {
        return Fail("a root key expected", name);
      }
      if (Next().kind != TokenKind::Open) return Fail("\"{\" expected", Current());
      if (!ParseEntries(nullptr, block.keys, 1)) return false;
      blocks.push_back(std::move(block));
    }
    return true;
  }

  const std::string& Error() const { return error_; }

 private:
  const Token& Peek() const { return tokens_[next_]; }
  const Token& Current() const { return tokens_[next_ ? next_ - 1 : 0]; }
  const Token& Next() {
    const Token& token = tokens_[next_];
    if (token.kind != TokenKind::End) ++next_;
    return token;
  }
  bool Fail(const std::string& what, const Token& token) {
    error_ = what + At(token.offset);
    return false;
  }
  static bool IsText(const Token& token) {
    return token.kind == TokenKind::Word || token.kind == TokenKind::Quoted;
  }

  // "s 'text'" or "d 42" (decimal, or hexadecimal after "0x").
  bool ParseTypedValue(RegistrarValue& value) {
    const Token& type = Next();
    if (type.kind != TokenKind::Word) return Fail("a value type expected", type);
    const Token& data = Next();
    if (!IsText(data)) return Fail("a value expected", data);
    if (EqualsNoCase(type.text, "s")) {
      value.text = data.text;
      return true;
    }
    if (!EqualsNoCase(type.text, "d")) return Fail("unsupported value type " + type.text, type);
    value.isNumber = true;
    std::string_view digits = data.text;
    unsigned base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
      base = 16;
      digits.remove_prefix(2);
    }
    if (digits.empty()) return Fail("a number expected", data);
    std::uint64_t number = 0;
    for (char c : digits) {
      int value = HexDigitValue(c);
      unsigned digit = value < 0 ? 16u : static_cast<unsigned>(value);
      if (digit >= base) return Fail("a number expected", data);
      number = number * base + digit;
      if (number > 0xFFFFFFFFull) return Fail("a number beyond 32 bits", data);
    }
    value.number = static_cast<std::uint32_t>(number);
    return true;
  }

  // The entries of a block up to its "}"; `owner` is the key the block belongs to (none
  // for a root block, which holds keys only).
  bool ParseEntries(RegistrarKey* owner, std::vector<RegistrarKey>& keys, std::size_t depth) {
    for (;;) {
      const Token* token = &Next();
      if (token->kind == TokenKind::Close) return true;
      if (token->kind == TokenKind::End) return Fail("\"}\" expected", *token);
      RegistrarKey key;
      while (token->kind == TokenKind::Word) {
        if (EqualsNoCase(token->text, "NoRemove"))
          key.noRemove = true;
        else if (EqualsNoCase(token->text, "ForceRemove"))
          key.forceRemove = true;
        else if (EqualsNoCase(token->text, "Delete"))
          key.deleteKey = true;
        else
          break;
        token = &Next();
      }
      if (token->kind == TokenKind::Word && EqualsNoCase(token->text, "val")) {
        if (!owner) return Fail("a value outside a key", *token);
        if (key.forceRemove || key.deleteKey) return Fail("a value cannot be removed so", *token);
        RegistrarValue value;
        value.noRemove = key.noRemove;
        const Token& name = Next();
        if (!IsText(name)) return Fail("a value name expected", name);
        value.name = name.text;
        if (Next().kind != TokenKind::Equals) return Fail("\"=\" expected", Current());
        if (!ParseTypedValue(value)) return false;
        owner->values.push_back(std::move(value));
        continue;
      }
      if (!IsText(*token)) return Fail("a key name expected", *token);
      if (token->text.empty() || token->text.size() > kRegistrarKeyNameMax ||
          token->text.find('\\') != std::string::npos) {
        return Fail("an invalid key name", *token);
      }
      key.name = token->text;
      if (Peek().kind == TokenKind::Equals) {
        Next();
        RegistrarValue value;
        if (!ParseTypedValue(value)) return false;
        key.values.insert(key.values.begin(), std::move(value));
      }
      if (Peek().kind == TokenKind::Open) {
        if (depth >= kRegistrarDepthMax) return Fail("keys nested too deep", Peek());
        Next();
        if (!ParseEntries(&key, key.subKeys, depth + 1)) return false;
      }
      keys.push_back(std::move(key));
    }
  }

  std::vector<Token> tokens_;
  std::size_t next_ = 0;
  std::string error_;
};
}  // namespace

bool FindRegistrarRoot(std::string_view name, RegistrarRoot& root) {
  struct Row {
    const char* full;
    const char* brief;
    RegistrarRoot root;
  };
  static const Row kRows[] = {
      {"HKEY_CLASSES_ROOT", "HKCR", RegistrarRoot::ClassesRoot},
      {"HKEY_CURRENT_USER", "HKCU", RegistrarRoot::CurrentUser},
      {"HKEY_LOCAL_MACHINE", "HKLM", RegistrarRoot::LocalMachine},
      {"HKEY_USERS", "HKU", RegistrarRoot::Users},
      {"HKEY_PERFORMANCE_DATA", "HKPD", RegistrarRoot::PerformanceData},
      {"HKEY_DYN_DATA", "HKDD", RegistrarRoot::DynData},
      {"HKEY_CURRENT_CONFIG", "HKCC", RegistrarRoot::CurrentConfig},
  };
  for (const Row& row : kRows) {
    if (EqualsNoCase(name, row.full) || EqualsNoCase(name, row.brief)) {
      root = row.root;
      return true;
    }
  }
  return false;
}

bool IsNeverRemovedKey(std::string_view name) {
  return EqualsNoCase(name, "AppID") || EqualsNoCase(name, "CLSID") || EqualsNoCase(name, "TYPELIB");
}

bool ParseRegistrarScript(std::string_view text, const std::vector<RegistrarVariable>& variables,
                          std::vector<RegistrarRootBlock>& blocks, std::string& error) {
  blocks.clear();
  error.clear();
  std::vector<Token> tokens;
  if (!Tokenize(text, variables, tokens, error)) return false;
  Parser parser(std::move(tokens));
  std::vector<RegistrarRootBlock> parsed;
  if (!parser.ParseBlocks(parsed)) {
    error = parser.Error();
    return false;
  }
  blocks = std::move(parsed);
  return true;
}
