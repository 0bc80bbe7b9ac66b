// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "FakeHost.h"
#include "TempDir.h"
#include "TestPackage.h"
#include "Viewer.h"

namespace mw::test {

// A program directory with packages the test writes, a fake host and a viewer started on them.
class ViewerTest : public ::testing::Test {
 protected:
  Viewer& StartViewer(const std::string& commandLine = {}) {
    for (const auto& p : packages) p.WriteTo(dir.path());
    viewer = std::make_unique<Viewer>(host, dir.path());
    viewer->Start(commandLine);
    return *viewer;
  }
  const Position& position() { return viewer->position(); }
  QRgb Composed(int x, int y) {
    return viewer->view().ComposedRegion(QRect(x, y, 1, 1)).pixel(0, 0);
  }

  TempDir dir;
  FakeHost host;
  std::vector<TestPackage> packages{TestPackage{}};
  std::unique_ptr<Viewer> viewer;
};

inline Unit StackAt(int x, int y, uint8_t type, uint8_t country, uint16_t count) {
  return MakeUnit(x, y, type, country, count);
}

}  // namespace mw::test
