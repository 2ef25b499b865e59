#pragma once
// Runs scripts through the engine, logging to a scratch folder of each test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engine/handler_table.h"
#include "engine/runner.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "support/log.h"
#include "support/mbcs.h"
#include "support_code/file_bytes.h"

struct ScriptRunResult {
  unsigned status = 0, errorLine = 0;
  std::string errorText, log;
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("orq_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    LogInit(kLogLevelStatus, (dir_ / "run.log").string());
  }
  void TearDown() override {
    SetAnsiCodePageForTesting(0);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string ReadLog() const { return FileBytes(dir_ / "run.log"); }

  // Runs the script text (lines may end in a line feed alone) from its start section.
  ScriptRunResult Run(const std::string& script, const std::string& section = "Main") {
    std::ofstream(dir_ / "test.Orq", std::ios::binary) << script;
    std::filesystem::remove(dir_ / "run.log");
    ScriptRunResult result;
    result.status = ExecuteScript((dir_ / "test.Orq").string(), section, dir_.string(),
                                  EngineHandlerTable(), &result.errorLine, &result.errorText);
    result.log = ReadLog();
    return result;
  }

  // Parses `text` into a fresh context; the status lands in `status`.
  std::unique_ptr<EngineContext> Parse(const std::string& text, unsigned& status) {
    auto ctx = std::make_unique<EngineContext>();
    ctx->handlers = &EngineHandlerTable();
    status = ParseScript(*ctx, text);
    return ctx;
  }

  std::filesystem::path dir_;
};

// How many times `fragment` occurs in `text`.
inline int CountOf(const std::string& text, const std::string& fragment) {
  int count = 0;
  for (std::size_t at = text.find(fragment); at != std::string::npos;
       at = text.find(fragment, at + fragment.size())) {
    ++count;
  }
  return count;
}
