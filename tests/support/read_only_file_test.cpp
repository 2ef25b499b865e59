#include "support/read_only_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {
TEST(ReadOnlyFile, ReadsWhatIsThereBesideAnotherReaderAndReportsAMissingFile) {
  const auto path = std::filesystem::temp_directory_path() / "orq_ReadOnlyFile_reads.bin";
  std::ofstream(path, std::ios::binary) << std::string("ab\0cd", 5);
  {
    ReadOnlyFile file, second;
    ASSERT_TRUE(file.Open(path.string()));
    EXPECT_TRUE(second.Open(path.string()));
    EXPECT_EQ(file.Length(), 5u);
    std::string bytes(8, '?');
    EXPECT_EQ(file.Read(bytes.data(), bytes.size()), 5u);
    EXPECT_EQ(bytes.substr(0, 5), std::string("ab\0cd", 5));
    EXPECT_EQ(file.Read(bytes.data(), bytes.size()), 0u);
    EXPECT_FALSE(second.Open(path.string() + ".missing"));
    EXPECT_EQ(second.Length(), 0u);
    EXPECT_EQ(second.Read(bytes.data(), 1), 0u);
  }
  std::filesystem::remove(path);
}
}  // namespace
