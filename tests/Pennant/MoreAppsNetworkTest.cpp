#include <gtest/gtest.h>

#include "Pennant/MoreAppsNetwork.h"

namespace pennant {
namespace {

TEST(MoreAppsNetworkTest, SandboxNeedsTheNetworkShared) {
  EXPECT_TRUE(
      MoreAppsNetwork::sharesNetwork("[Application]\nname=x\n\n[Context]\nshared=network;ipc;\n"));
  EXPECT_TRUE(MoreAppsNetwork::sharesNetwork("[Context]\r\nshared=ipc;network\r\n"));
  EXPECT_FALSE(MoreAppsNetwork::sharesNetwork("[Context]\nshared=ipc;\nsockets=network;\n"));
  EXPECT_FALSE(MoreAppsNetwork::sharesNetwork("[Instance]\nshared=network;\n"));
}

}  // namespace
}  // namespace pennant
