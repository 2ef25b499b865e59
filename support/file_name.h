#pragma once
// One path, and what can be done with the file or folder it names: delete it
// now, or have it deleted at the next start of Windows. A path written with
// forward slashes keeps them: once the path holds a "/", the operations given
// the backslash use "/" instead. Text operations throw CException
// (support/exception.h) when memory runs out or a character past the end is
// asked for.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CFileName {
public:
  CFileName() = default;
  explicit CFileName(std::string_view path) { Set(path); }
  CFileName(const CFileName &) = delete;
  CFileName &operator=(const CFileName &) = delete;

  // Replaces the path; a null or empty text leaves it empty. A "/" in the text
  // sets the forward-slash flag, which is never cleared.
  void Set(const char *path);
  void Set(std::string_view path);
  const std::string &Path() const { return path_; }
  bool IsEmpty() const { return path_.empty(); }
  bool UsesForwardSlash() const { return forwardSlash_ != 0; }
  // The byte at `index`; the terminating zero at Path().size() is a valid
  // index.
  char At(std::size_t index) const;

  bool HasWildcards() const;
  // Joins `component` with exactly one separator (one is dropped from the
  // path's end and the component's start). Nothing happens when the path is
  // empty or `component` is null.
  void Append(const char *component, char separator = '\\');
  // Everything after the last separator (multi-byte aware), or empty when there
  // is none.
  void GetLastComponent(std::string &out, char separator = '\\') const;
  // Cuts the path at its last separator; no change when there is none.
  void RemoveLastComponent(char separator = '\\');

  // The path is not empty and names an existing file or folder.
  bool Exists() const;
  // An existing folder; for a path that is not found, only a bare drive ("C:",
  // "C:\").
  bool IsDirectory() const;
  // Replaces the path by its short form (the folder part only when the last
  // component holds wildcards). False, with the path unchanged, when there is
  // no short form.
  bool MakeShortPath();
  // Deletes the file now; a failure goes to the second log.
  bool Delete() const;
  // Has the file or empty folder deleted at the next start of Windows. False
  // when the deletion could not be recorded.
  bool DeleteOnReboot();

private:
  char Separator(char given) const {
    return forwardSlash_ && given == '\\' ? '/' : given;
  }
  bool EndsWithSeparator(char separator) const;

  std::string path_;
  std::uint32_t forwardSlash_ = 0;
};
