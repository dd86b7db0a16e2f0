#include "Pennant/MoreAppsNetwork.h"

#include <string>

#include "platform/FileSystem.h"

namespace pennant::MoreAppsNetwork {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

bool listNames(std::string_view list, std::string_view name) {
  while (!list.empty()) {
    auto semicolon = list.find(';');
    if (trimmed(list.substr(0, semicolon)) == name) return true;
    if (semicolon == std::string_view::npos) break;
    list.remove_prefix(semicolon + 1);
  }
  return false;
}

}  // namespace

bool sharesNetwork(std::string_view info) {
  bool inContext = false;
  while (!info.empty()) {
    auto newline = info.find('\n');
    std::string_view line = trimmed(info.substr(0, newline));
    info = newline == std::string_view::npos ? std::string_view() : info.substr(newline + 1);
    if (line.starts_with("[")) {
      inContext = line == "[Context]";
    } else if (inContext && line.starts_with("shared=")) {
      return listNames(line.substr(7), "network");
    }
  }
  return false;
}

bool allowed() {
  static const bool flag = [] {
    auto info = larkvale::FileSystem::readText("/.flatpak-info", 1 << 20);
    bool sandboxed = larkvale::FileSystem::exists("/.flatpak-info");
    return allows(sandboxed, info && sharesNetwork(*info));
  }();
  return flag;
}

}  // namespace pennant::MoreAppsNetwork
