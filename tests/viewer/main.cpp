// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer tests draw text and pictures, which needs a GUI application; the offscreen platform
// gives one without a display.
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
