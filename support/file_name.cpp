#include "support/file_name.h"

#include <new>
#include <stdexcept>

#include "support/exception.h"
#include "support/mbcs.h"

namespace {
// Runs a text operation, turning an allocation failure into the library's
// exception.
template <typename F>
void WithTextMemory(F&& operation) {
  try {
    operation();
  } catch (const std::bad_alloc&) {
    throw CException(CException::kOutOfMemory);
  } catch (const std::length_error&) {
    throw CException(CException::kOutOfMemory);
  }
}
}  // namespace

void CFileName::Set(const char* path) { Set(path ? std::string_view(path) : std::string_view()); }

void CFileName::Set(std::string_view path) {
  // Up to a zero byte, as a C text would end.
  path = path.substr(0, path.find('\0'));
  WithTextMemory([&] { path_.assign(path); });
  if (path.find('/') != std::string_view::npos) forwardSlash_ = 1;
}

char CFileName::At(std::size_t index) const {
  if (index > path_.size()) throw CException(CException::kBeyondText);
  return index == path_.size() ? '\0' : path_[index];
}

bool CFileName::HasWildcards() const { return path_.find_first_of("*?") != std::string::npos; }

bool CFileName::EndsWithSeparator(char separator) const {
  std::size_t last = FindLastChar(path_, separator);
  return last != std::string::npos && last + 1 == path_.size();
}

void CFileName::Append(const char* component, char separator) {
  if (path_.empty() || component == nullptr) return;
  separator = Separator(separator);
  std::string_view tail(component);
  if (!tail.empty() && tail.front() == separator) tail.remove_prefix(1);
  WithTextMemory([&] {
    if (EndsWithSeparator(separator)) path_.pop_back();
    path_ += separator;
    path_.append(tail);
  });
}

void CFileName::GetLastComponent(std::string& out, char separator) const {
  out.clear();
  std::size_t last = FindLastChar(path_, Separator(separator));
  if (last != std::string::npos) WithTextMemory([&] { out.assign(path_, last + 1); });
}

void CFileName::RemoveLastComponent(char separator) {
  std::size_t last = FindLastChar(path_, Separator(separator));
  if (last != std::string::npos) path_.resize(last);
}
