// A fake disc in drive D: with the program in its root, and helpers to write its two configuration files.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string out;
  for (const auto& line : lines)
    out += line + "\r\n";
  return out;
}

class DiscTest : public ::testing::Test {
 protected:
  FakePlatform fake;

  void Kavo(std::initializer_list<std::string> lines) { fake.AddFile(L"D:\\kavo.inf", CrLf(lines)); }
  void Menu(std::initializer_list<std::string> lines) { fake.AddFile(L"D:\\menu.inf", CrLf(lines)); }

  // Starts the program and returns what it did, leaving the transcript empty for the next step.
  std::vector<std::string> Start() {
    fake.Start();
    return fake.TakeTranscript();
  }
  std::vector<std::string> Then() { return fake.TakeTranscript(); }
};

using Lines = std::vector<std::string>;
