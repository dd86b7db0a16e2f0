// Feeds arbitrary cask tokens, app names and brew paths to the Terminal
// script builder and checks what must hold for any input: the script keeps
// its fifteen lines, the line that runs holds only shell-inert characters,
// and the quoted heading holds nothing zsh would act on. The input is split
// at NUL bytes: the brew path, a greedy flag, then tokens and names in turn.
// An absolute brew path is taken inside a folder of stand-ins, where
// /opt/homebrew/bin/brew, /usr/local/bin/brew and /usr/bin/brew may run.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "kit/sources/Handoff.h"
#include "kit/sources/Homebrew.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

const std::string& standInRoot() {
  static const std::string root = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "handoff-fuzz-XXXXXX").string();
    require(::mkdtemp(pattern.data()) != nullptr);
    for (const char* rel : {"opt/homebrew/bin/brew", "usr/local/bin/brew", "usr/bin/brew"}) {
      std::filesystem::path brew = std::filesystem::path(pattern) / rel;
      std::filesystem::create_directories(brew.parent_path());
      std::ofstream(brew) << "#!/bin/sh\n";
      std::filesystem::permissions(brew, std::filesystem::perms::owner_all);
    }
    return pattern;
  }();
  return root;
}

std::vector<std::string> fields(std::string_view data) {
  std::vector<std::string> out;
  for (;;) {
    size_t end = data.find('\0');
    out.emplace_back(data.substr(0, end));
    if (end == std::string_view::npos) return out;
    data.remove_prefix(end + 1);
  }
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
    out.push_back(text.substr(from, end - from));
  }
  require(from == text.size());
  return out;
}

void checkScript(const std::string& script, const std::vector<std::string>& tokens, bool greedy,
                 const std::string& brewPath) {
  auto all = lines(script);
  require(all.size() == 14);
  require(brewPath.starts_with('/'));  // a bare word would be a command of its own
  require(brewPath.ends_with("/brew"));
  require(all[9] == *larkvale::Handoff::upgradeCommand(tokens, greedy, brewPath));
  for (char c : all[9]) {
    bool inert = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 std::string_view("/._+@- ").find(c) != std::string_view::npos;
    require(inert);
  }
  const std::string_view open = "print -r -- \"Larkvale: Homebrew update for ";
  require(all[3].starts_with(open) && all[3].ends_with("\""));
  std::string_view heading(all[3]);
  heading = heading.substr(open.size(), heading.size() - open.size() - 1);
  for (char c : heading) {
    auto byte = static_cast<unsigned char>(c);
    require(byte >= 0x20 && byte != 0x7F && c != '"' && c != '$' && c != '`' && c != '\\');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  larkvale::Handoff::isCheckForUpdatesTitle(input);

  auto parts = fields(input);
  std::string brewPath = parts[0].starts_with('/') ? standInRoot() + parts[0] : parts[0];
  bool greedy = parts.size() > 1 && !parts[1].empty() && (parts[1][0] & 1);
  std::vector<std::string> tokens, names;
  for (size_t i = 2; i < parts.size(); ++i) (i % 2 == 0 ? tokens : names).push_back(parts[i]);

  auto command = larkvale::Handoff::upgradeCommand(tokens, greedy, "brew");
  for (const auto& token : tokens) require(!command || larkvale::Homebrew::isCaskToken(token));
  if (auto script = larkvale::Handoff::terminalScript(tokens, names, greedy, brewPath)) {
    checkScript(*script, tokens, greedy, brewPath);
  }
  return 0;
}
