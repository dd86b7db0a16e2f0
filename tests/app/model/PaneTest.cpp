#include "app/model/Pane.h"

#include <gtest/gtest.h>

namespace larkvale {
namespace {

TEST(PaneTest, RawValuesNameEachPaneExactlyAndNothingElse) {
  for (Pane pane : Panes::all) EXPECT_EQ(Panes::fromRawValue(Panes::rawValue(pane)), pane);
  EXPECT_EQ(Panes::fromRawValue("newMac"), Pane::newMac);

  using namespace std::literals;
  for (std::string_view other : {""sv, "NewMac"sv, "newmac"sv, " newMac"sv, "newMac "sv,
                                 "newMac\0"sv, "New Mac Check"sv, "desktopcomputer"sv, "8"sv})
    EXPECT_EQ(Panes::fromRawValue(other), std::nullopt) << other;
}

}  // namespace
}  // namespace larkvale
