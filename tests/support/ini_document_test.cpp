// The INI document and the line file under it.
#include "support/ini_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support_code/file_bytes.h"

namespace {
std::string Saved(const std::string& text) {
  CIniDocument document;
  EXPECT_TRUE(document.Parse(text)) << text;
  return document.Text();
}

// A text that a rewrite would shorten is refused, so it is never saved over.
TEST(IniDocument, ReadsEveryLineEndingAndRefusesWhatARewriteWouldLose) {
  const char* rows[][2] = {
      {"[rename]\r\nNUL=C:\\A.TXT\r\nNUL=C:\\A.TXT\r\n",
       "[rename]\r\nNUL=C:\\A.TXT\r\nNUL=C:\\A.TXT\r\n\r\n"},
      {"[ s ]\r\nname = value ; note\r\n;all comment\r\n\r\n", "[s]\r\nname=value\r\n\r\n"},
      {"; other programs\n[rename]\nNUL=C:\\A.TXT\n\n[b]\nempty=\n",
       "[rename]\r\nNUL=C:\\A.TXT\r\n\r\n[b]\r\nempty=\r\n\r\n"},
      {"[a]\rx=1\ry=2", "[a]\r\nx=1\r\ny=2\r\n\r\n"},
  };
  for (auto& [text, saved] : rows) EXPECT_EQ(Saved(text), saved) << text;

  for (const char* text : {"before=1\r\n[a]\r\n", "[a]\r\nno equals\r\n", "[a]\r\n=no name\r\n",
                           "[Rename]\r\nx=1\r\n[rename]\r\n"}) {
    CIniDocument document;
    EXPECT_FALSE(document.Parse(text)) << text;
  }
}

// A save that cannot write its new file leaves the old one as it was.
TEST(IniDocument, SavesThroughANewFileAndKeepsTheOldOneWhenThatFails) {
  namespace fs = std::filesystem;
  const fs::path path = fs::temp_directory_path() / "orq_IniDocument_save.ini";
  const fs::path next = path.string() + ".orqnew";
  fs::remove_all(next);
  fs::remove(path);
  {
    CIniDocument document;
    ASSERT_TRUE(document.Load(path.string()));
    EXPECT_FALSE(fs::exists(path));
    document.AddSection("rename")->AddEntry("NUL", "C:\\A");
  }  // released changed: saved
  EXPECT_EQ(FileBytes(path), "[rename]\r\nNUL=C:\\A\r\n\r\n");

  fs::create_directory(next);  // the new file cannot be made
  {
    CIniDocument document;
    ASSERT_TRUE(document.Load(path.string()));
    document.LookupSection("rename")->AddEntry("NUL", "C:\\B");
    EXPECT_FALSE(document.Save());
  }
  EXPECT_EQ(FileBytes(path), "[rename]\r\nNUL=C:\\A\r\n\r\n");
  fs::remove_all(next);
  fs::remove(path);
}
}  // namespace
