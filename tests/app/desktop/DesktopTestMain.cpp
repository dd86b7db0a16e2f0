// GoogleTest entry for the desktop services: the tests run inside a Qt GUI
// application on the offscreen platform, on a private session bus. Started
// without one (by hand, say), the program starts itself again under
// dbus-run-session, so it never talks to the user's own bus.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kMarker = "LARKVALE_PRIVATE_BUS";

[[noreturn]] void restartOnPrivateBus(int argc, char** argv) {
  ::setenv(kMarker, "1", 1);
  std::string config = std::string("--config-file=") + LARKVALE_SESSION_BUS_CONFIG;
  // Our own path now: under dbus-run-session "/proc/self" is another program.
  char self[4096] = {};
  if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) std::_Exit(127);
  std::vector<char*> args{const_cast<char*>(LARKVALE_DBUS_RUN_SESSION), config.data(),
                          const_cast<char*>("--"), self};
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  ::execv(args[0], args.data());
  std::perror("dbus-run-session");
  std::_Exit(127);
}

}  // namespace

int main(int argc, char** argv) {
  const char* marker = std::getenv(kMarker);
  if (!marker || std::strcmp(marker, "1") != 0) restartOnPrivateBus(argc, argv);
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
