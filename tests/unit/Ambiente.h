// What every unit test stands on: the platform in memory, freshly made, with every form
// instance gone at the end and no unexpected dialog left behind.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Form.h"
#include "fake/Fake.h"

class Ambiente : public ::testing::Test {
 protected:
  ~Ambiente() override { forms::ResetAll(); }
  void TearDown() override { EXPECT_EQ(std::vector<std::string>{}, fake.windows.problems); }

  // The form's window by its caption, and a control on it by its text.
  platform::Handle form(const std::string& caption) { return fake.windows.FindForm(caption); }
  platform::fake::FakeWindows::Window* control(platform::Handle f, const std::string& text) {
    return fake.windows.Get(fake.windows.Find(f, text));
  }
  // Entries of the timeline that start with the prefix, without it.
  std::vector<std::string> log(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : fake.log)
      if (e.rfind(prefix, 0) == 0) out.push_back(e.substr(prefix.size()));
    return out;
  }

  platform::fake::FakePlatform fake;
};
