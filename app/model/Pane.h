#pragma once
// The sections of the main window, in sidebar order.
#include <QString>
#include <array>
#include <optional>
#include <string_view>

namespace larkvale {

enum class Pane { updates, allApps, held, history, inventory, checklist, carry, newMac, settings };

namespace Panes {
inline constexpr std::array<Pane, 9> all = {Pane::updates, Pane::allApps,   Pane::held,
                                            Pane::history, Pane::inventory, Pane::checklist,
                                            Pane::carry,   Pane::newMac,    Pane::settings};

// The case name ("updates", "allApps" …); a pane is its own identifier.
std::string_view rawValue(Pane pane);
// The pane whose case name is `raw` exactly; nothing for any other text.
std::optional<Pane> fromRawValue(std::string_view raw);
// "Updates", "All Apps", "Skipped & Held" …, translated.
QString title(Pane pane);
// The symbol name drawn beside the title ("arrow.down.circle" …); the window
// maps it to an icon.
std::string_view symbol(Pane pane);
}  // namespace Panes

}  // namespace larkvale
