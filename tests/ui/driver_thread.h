// Runs a driver script on a second thread while the test thread sits in a modal loop.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <thread>

class DriverThread {
 public:
  // When the script fails, rescue is hidden so the modal loop waiting on it ends.
  DriverThread(std::function<void()> script, HWND rescue)
      : thread_([this, script, rescue] {
          try {
            script();
          } catch (const std::exception& error) {
            error_ = error.what();
            ShowWindow(rescue, SW_HIDE);
            PostMessageA(rescue, WM_NULL, 0, 0);
          }
        }) {}
  ~DriverThread() {
    if (thread_.joinable()) thread_.join();
  }
  DriverThread(const DriverThread&) = delete;
  DriverThread& operator=(const DriverThread&) = delete;

  // Waits for the script; returns its error, empty when it succeeded.
  std::string Finish() {
    if (thread_.joinable()) thread_.join();
    return error_;
  }

 private:
  std::string error_;
  std::thread thread_;
};
