#pragma once
// The model's real services over a temporary folder, for tests that go end
// to end: bundles read from tmp/Applications, sources asked on a loopback
// server, a stand-in brew, the real state file in tmp/state. Every other
// service is the fakes'.
#include <memory>
#include <string>

#include "app/wiring/KitServices.h"
#include "tests/support/FakeServices.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace larkvale::test {

inline AppServices kitServices(Fakes& fakes, const TempDir& tmp, const TestServer& server,
                               const std::string& brew) {
  KitUpdateChecking::Options options;
  options.hosts.appStoreLookup = server.url();
  options.hosts.gitHubAPI = server.url();
  options.spacing = {};
  options.findBrew = [brew] { return brew; };
  AppServices services = fakes.services();
  services.scanner =
      std::make_shared<KitAppScanning>(std::vector{tmp.path() / "Applications"}, std::nullopt);
  services.checker = std::make_shared<KitUpdateChecking>(fakes.folders, options);
  services.store = std::make_shared<KitStateStorage>(tmp.path() / "state");
  return services;
}

}  // namespace larkvale::test
