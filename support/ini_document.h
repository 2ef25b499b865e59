#pragma once
// A small INI file held as ordered sections of ordered name/value entries, read
// and written by the program itself (the system's profile functions are not
// used), so that entries of the same name may repeat. Comments and blank lines
// are not kept. Sections and entries are shared: whoever holds one keeps it
// alive.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/file_name.h"

class CFileLine;
class CIniDocument;
class CIniSection;

class CIniNode {
 public:
  virtual ~CIniNode() = default;
  // Removes the child of that name (how names compare is the node's own rule).
  virtual void RemoveChild(const char* name) = 0;
  // Records that the node's content changed.
  virtual void SetModified() = 0;
};

class CIniEntry {
 public:
  CIniEntry(std::string name, std::string value, CIniSection* section)
      : name_(std::move(name)), value_(std::move(value)), section_(section) {}
  const std::string& Name() const { return name_; }
  const std::string& Value() const { return value_; }

 private:
  friend class CIniSection;
  std::string name_;
  std::string value_;
  CIniSection* section_;  // cleared when the section goes first
};

class CIniSection : public CIniNode {
 public:
  CIniSection(std::string name, CIniDocument* document)
      : name_(std::move(name)), document_(document) {}
  ~CIniSection() override;
  const std::string& Name() const { return name_; }
  std::size_t EntryCount() const { return entries_.size(); }
  std::shared_ptr<CIniEntry> Entry(std::size_t index) const {
    return index < entries_.size() ? entries_[index] : nullptr;
  }
  // Appends an entry at the end, also when one of that name exists.
  std::shared_ptr<CIniEntry> AddEntry(std::string_view name, std::string_view value);
  std::shared_ptr<CIniEntry> AddEntry(std::string_view name, std::uint32_t value);
  // Removes the first entry of exactly that name.
  void RemoveChild(const char* name) override;
  void SetModified() override;

 private:
  friend class CIniDocument;
  std::vector<std::shared_ptr<CIniEntry>> entries_;
  std::string name_;
  CIniDocument* document_;  // cleared when the document goes first
};

class CIniDocument : public CIniNode {
 public:
  CIniDocument() = default;
  // A document that was changed and not saved is saved now.
  ~CIniDocument() override;
  CIniDocument(const CIniDocument&) = delete;
  CIniDocument& operator=(const CIniDocument&) = delete;

  // Reads the file at `path` (kept for Save). A file that does not exist gives
  // an empty document when a file could be made there (none is left behind).
  // False when the file cannot be read whole or faithfully: a section name that
  // occurs twice or is not kept (a byte of 128 or more), a line before the first
  // header or without a name and "=", or a zero byte. Such a file must not be
  // saved over: its other lines would be lost.
  bool Load(const std::string& path);
  // Reads the lines of `bytes` as Load reads a file's; the path is not changed.
  bool Parse(std::string bytes);
  // The document as Save writes it.
  std::string Text() const;
  // Writes a changed document: into a new file beside the old one, which is
  // replaced only once every byte is written, so a failed write leaves the old
  // file as it was. True when nothing needed writing or everything was written.
  bool Save();

  std::size_t SectionCount() const { return sections_.size(); }
  std::shared_ptr<CIniSection> Section(std::size_t index) const {
    return index < sections_.size() ? sections_[index] : nullptr;
  }
  // The first section of that name, compared without regard to case.
  std::shared_ptr<CIniSection> LookupSection(std::string_view name) const;
  // A new empty section at the end; nothing when one of that name (any case)
  // exists.
  std::shared_ptr<CIniSection> AddSection(std::string_view name);
  bool IsModified() const { return modified_ != 0; }
  // Removes the first section of that name (any case); a null name removes
  // nothing.
  void RemoveChild(const char* name) override;
  void SetModified() override { modified_ = 1; }

 private:
  void Clear();
  bool ParseLines(CFileLine& lines);

  std::vector<std::shared_ptr<CIniSection>> sections_;
  CFileName file_;
  std::uint32_t modified_ = 0;
};
