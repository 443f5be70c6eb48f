// A file that belongs to the running test alone: named after the test and the
// process, so that suites running at once on one machine never share one.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace ksthid::testing {

class TestFile {
 public:
  TestFile() : path_(uniquePath()) { std::remove(path_.c_str()); }
  ~TestFile() { std::remove(path_.c_str()); }
  TestFile(const TestFile&) = delete;
  TestFile& operator=(const TestFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  static std::string uniquePath() {
#ifdef _WIN32
    const int process = _getpid();
#else
    const int process = static_cast<int>(::getpid());
#endif
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + test->test_suite_name() + "." + test->name() + "." +
           std::to_string(process) + ".txt";
  }

  std::string path_;
};

}  // namespace ksthid::testing
