#include "platform/Processes.h"

#include <charconv>

#include "platform/FileSystem.h"

namespace larkvale::Processes {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCommLimit = 4096;
// What the kernel appends to the link of a program file replaced or removed
// since the process started.
constexpr std::string_view kDeleted = " (deleted)";

std::optional<int> pidOf(const std::string& name) {
  int pid = 0;
  auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
  if (name.empty() || error != std::errc() || end != name.data() + name.size() || pid <= 0)
    return std::nullopt;
  return pid;
}

}  // namespace

std::optional<fs::path> executable(const fs::path& processFolder) {
  std::error_code ec;
  fs::path target = fs::read_symlink(processFolder / "exe", ec);
  if (ec || target.empty()) return std::nullopt;
  std::string text = target.string();
  if (text.size() > kDeleted.size() && text.ends_with(kDeleted) && !fs::exists(target, ec))
    text.resize(text.size() - kDeleted.size());
  return fs::path(text);
}

std::optional<fs::path> bundleOf(const fs::path& program) {
  fs::path macos = program.parent_path();
  fs::path contents = macos.parent_path();
  fs::path bundle = contents.parent_path();
  if (macos.filename() != "MacOS" || contents.filename() != "Contents" ||
      bundle.extension() != ".app") {
    return std::nullopt;
  }
  return bundle;
}

std::vector<RunningProcess> list(const fs::path& procRoot) {
  std::vector<RunningProcess> processes;
  auto names = FileSystem::listNames(procRoot);
  if (!names) return processes;
  for (const std::string& entry : *names) {
    auto pid = pidOf(entry);
    if (!pid) continue;
    fs::path folder = procRoot / entry;
    RunningProcess process{*pid, {}, executable(folder)};
    if (auto comm = FileSystem::readFile(folder / "comm", kCommLimit)) {
      while (!comm->empty() && comm->back() == '\n') comm->pop_back();
      process.name = std::move(*comm);
    }
    if (process.name.empty() && !process.executable) continue;  // gone while we looked
    processes.push_back(std::move(process));
  }
  return processes;
}

}  // namespace larkvale::Processes
