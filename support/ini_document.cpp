#include "support/ini_document.h"

#include <algorithm>

#include "support/exception.h"
#include "support/file_handle.h"
#include "support/line_file.h"
#include "support/text_routines.h"

namespace {
bool AllBelow128(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 128) return false;
  }
  return true;
}

void EraseFirst(std::string& text, char c) {
  std::size_t at = text.find(c);
  if (at != std::string::npos) text.erase(at, 1);
}
}  // namespace

CIniSection::~CIniSection() {
  for (auto& entry : entries_) entry->section_ = nullptr;
}

std::shared_ptr<CIniEntry> CIniSection::AddEntry(std::string_view name, std::string_view value) {
  auto entry = std::make_shared<CIniEntry>(std::string(name), std::string(value), this);
  entries_.push_back(entry);
  SetModified();
  return entry;
}

std::shared_ptr<CIniEntry> CIniSection::AddEntry(std::string_view name, std::uint32_t value) {
  return AddEntry(name, std::to_string(value));
}

void CIniSection::RemoveChild(const char* name) {
  if (name == nullptr) return;
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if ((*it)->Name() == name) {
      (*it)->section_ = nullptr;
      entries_.erase(it);
      if (document_) document_->RemoveChild(nullptr);
      return;
    }
  }
}

void CIniSection::SetModified() {
  if (document_) document_->SetModified();
}

CIniDocument::~CIniDocument() {
  try {
    if (modified_ && !file_.IsEmpty()) Save();
  } catch (...) {
    // A destructor reports nothing; the file keeps what it held before.
  }
  Clear();
}

void CIniDocument::Clear() {
  for (auto& section : sections_) section->document_ = nullptr;
  sections_.clear();
}

std::shared_ptr<CIniSection> CIniDocument::LookupSection(std::string_view name) const {
  for (const auto& section : sections_) {
    if (EqualsNoCase(section->Name(), name)) return section;
  }
  return nullptr;
}

std::shared_ptr<CIniSection> CIniDocument::AddSection(std::string_view name) {
  if (LookupSection(name)) return nullptr;
  auto section = std::make_shared<CIniSection>(std::string(name), this);
  sections_.push_back(section);
  SetModified();
  return section;
}

void CIniDocument::RemoveChild(const char* name) {
  if (name != nullptr) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
      if (EqualsNoCase((*it)->Name(), name)) {
        (*it)->document_ = nullptr;
        sections_.erase(it);
        break;
      }
    }
  }
  SetModified();
}

bool CIniDocument::Parse(std::string bytes) {
  CFileLine lines;
  lines.LoadBytes(std::move(bytes));
  return ParseLines(lines);
}

// Only what saving writes back is read: a line that would be lost (one before the first
// header, one without a name and "=", one of a section whose name is not kept) or a zero
// byte makes the read fail, so that a file other programs wrote is never rewritten short.
bool CIniDocument::ParseLines(CFileLine& lines) {
  Clear();
  std::shared_ptr<CIniSection> current;
  bool result = !lines.HoldsZeroByte();
  std::string line;
  for (bool more = lines.GetFirstLine(line); more && result; more = lines.GetNextLine(line)) {
    line.resize(std::min(line.size(), line.find(';')));
    TrimText(line);
    if (line.empty()) continue;
    if (line[0] == '[') {
      EraseFirst(line, '[');
      EraseFirst(line, ']');
      TrimText(line);
      current.reset();
      // A name with bytes of 128 or more is not taken.
      if (AllBelow128(line)) current = AddSection(line);
      result = current != nullptr;
      continue;
    }
    std::size_t equals = line.find('=');
    std::string name =
        TrimmedCopy(std::string_view(line).substr(0, std::min(equals, line.size())));
    if (!current || equals == std::string::npos || name.empty()) {
      result = false;
      break;
    }
    result =
        current->AddEntry(name, TrimmedCopy(std::string_view(line).substr(equals + 1))) != nullptr;
  }
  modified_ = 0;
  return result;
}

std::string CIniDocument::Text() const {
  std::string text;
  for (const auto& section : sections_) {
    text += '[';
    text += section->Name();
    text += "]\r\n";
    for (const auto& entry : section->entries_) {
      text += entry->Name();
      text += '=';
      text += entry->Value();
      text += "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

bool CIniDocument::Load(const std::string& path) {
  Clear();
  modified_ = 0;
  file_.Set(path);
  if (!file_.Exists()) {
    // Whether the file could be made is tried, and the trial file removed
    // again.
    CFileHandle trial(path);
    bool created = trial.Create();
    trial.Close();
    if (created) trial.RemoveFile();
    return created;
  }
  CFileLine reader;
  if (reader.Load(path) && ParseLines(reader)) return true;
  file_.Set("");  // a document that was not read whole is never saved over the file
  return false;
}

bool CIniDocument::Save() {
  if (!modified_) return true;
  modified_ = 0;
  if (file_.IsEmpty()) return false;
  std::string text = Text();
  CFileHandle temporary(file_.Path() + ".orqnew");
  if (!temporary.Create()) return false;
  if (temporary.Write(text.data(), text.size()) != text.size()) {
    temporary.Close();
    temporary.RemoveFile();
    return false;
  }
  if (temporary.MoveOver(file_.Path())) return true;
  temporary.RemoveFile();
  return false;
}
