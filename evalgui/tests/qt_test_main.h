// The main function of the window's tests: QTEST_MAIN's, and then the process waits until every
// thread but its own has ended before it returns.
//
// Qt runs work on threads of its own (the global thread pool's, Qt Test's watchdog). Destroying
// the application joins them, but a joined thread still frees its Qt thread data on its way out,
// after the join has let the main thread go on. Under load the process could reach
// LeakSanitizer's check at exit first, and the check would report that data (152 bytes allocated
// in Qt Core) as lost.
#pragma once

#include <QApplication>
#include <QtTest/QtTest>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <thread>

namespace qt_test_main {

inline std::ptrdiff_t threadCount() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                       std::filesystem::directory_iterator());
}

// Bounded: a thread that never ends is not this wait's to report.
inline void waitForOtherThreadsToEnd() {
  using namespace std::chrono_literals;
  const auto giveUp = std::chrono::steady_clock::now() + 10s;
  while (threadCount() > 1 && std::chrono::steady_clock::now() < giveUp)
    std::this_thread::sleep_for(1ms);
}

template <typename TestObject>
int run(int argc, char* argv[]) {
  int status = 0;
  {
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    TestObject test;
    status = QTest::qExec(&test, argc, argv);
  }
  waitForOtherThreadsToEnd();
  return status;
}

}  // namespace qt_test_main

#define QV6180_TEST_MAIN(TestObject)                  \
  int main(int argc, char* argv[]) {                  \
    return qt_test_main::run<TestObject>(argc, argv); \
  }
