// SPDX-License-Identifier: GPL-3.0-or-later
// Marrowind: the map viewer and editor. With an option of its headless mode it runs without a
// window (see --help).
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "Headless.h"
#include "Language.h"
#include "Locations.h"
#include "MainWindow.h"

namespace {

// Qt warns on every start when the per-user runtime directory is not set, as under a bare
// console; give it the one it would fall back to.
void EnsureRuntimeDir() {
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
}

}  // namespace

int main(int argc, char** argv) {
  // The bytes as given: a path in any encoding reaches the file system as it is.
  const std::vector<std::string> args(argv, argv + argc);
  const std::filesystem::path programDir = mw::ProgramDir(argv[0]);
  EnsureRuntimeDir();
  mw::LetOversizedWritesFail();
  if (mw::IsHeadless(args)) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return mw::RunHeadless(args, programDir, std::cout, std::cerr);
  }
  QApplication app(argc, argv);
  // The desktop matches the window to its launcher by this name on Wayland, by the window
  // class (the program's name) on X11.
  QGuiApplication::setDesktopFileName(QStringLiteral("net.marrowind.Marrowind"));
  mw::InstallLanguage(programDir);
  mw::MainWindow window(programDir);
  window.ShowMaximized();
  std::string commandLine;
  for (size_t i = 1; i < args.size(); ++i) commandLine += (i > 1 ? " " : "") + args[i];
  window.Start(commandLine);
  return app.exec();
}
