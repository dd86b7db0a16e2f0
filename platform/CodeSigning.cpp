#include "platform/CodeSigning.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "platform/PropertyList.h"

namespace larkvale::CodeSigning {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFatMagic = 0xcafebabe;
constexpr uint32_t kFatMagic64 = 0xcafebabf;
constexpr uint32_t kCpuArm64 = 0x0100000c;
constexpr uint32_t kLcCodeSignature = 0x1d;
constexpr uint32_t kEmbeddedSignature = 0xfade0cc0;
constexpr uint32_t kEntitlementsBlob = 0xfade7171;
constexpr uint32_t kEntitlementsSlot = 5;

// Far beyond any real file; they keep a damaged header from making us read
// (and allocate) gigabytes.
constexpr uint32_t kMaxArchitectures = 32;  // also tells a fat file from Java bytecode
constexpr uint64_t kMaxLoadCommands = 16u << 20;
constexpr uint64_t kMaxBlobs = 4096;
constexpr uint64_t kMaxEntitlements = 4u << 20;

// Random access to the bytes of a file or of memory.
class Bytes {
 public:
  virtual ~Bytes() = default;
  virtual uint64_t size() const = 0;
  // Exactly len bytes at offset, or nothing when they are not all there.
  std::optional<std::string> read(uint64_t offset, uint64_t len) const {
    if (offset > size() || len > size() - offset) return std::nullopt;
    std::string out(static_cast<size_t>(len), '\0');
    if (!fill(offset, out)) return std::nullopt;
    return out;
  }

 private:
  virtual bool fill(uint64_t offset, std::string& out) const = 0;
};

class MemoryBytes final : public Bytes {
 public:
  explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }

 private:
  bool fill(uint64_t offset, std::string& out) const override {
    out.assign(bytes_.substr(static_cast<size_t>(offset), out.size()));
    return true;
  }
  std::string_view bytes_;
};

class FileBytes final : public Bytes {
 public:
  // Opens a regular file without blocking on a FIFO.
  explicit FileBytes(const fs::path& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {
    struct stat st {};
    if (fd_ && ::fstat(fd_.get(), &st) == 0 && S_ISREG(st.st_mode))
      size_ = static_cast<uint64_t>(st.st_size);
  }

  bool usable() const { return size_.has_value(); }
  uint64_t size() const override { return size_.value_or(0); }

 private:
  bool fill(uint64_t offset, std::string& out) const override {
    size_t got = 0;
    while (got < out.size()) {
      ssize_t n =
          ::pread(fd_.get(), out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;  // the file shrank or failed under us
      got += static_cast<size_t>(n);
    }
    return true;
  }
  FileDescriptor fd_;
  std::optional<uint64_t> size_;
};

uint32_t u32(std::string_view b, size_t at, bool bigEndian) {
  auto byte = [&](size_t k) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at + k]));
  };
  return bigEndian ? byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3)
                   : byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0);
}

uint64_t u64BE(std::string_view b, size_t at) {
  return uint64_t{u32(b, at, true)} << 32 | u32(b, at + 4, true);
}

// Where one architecture's Mach-O image lies in the file.
struct Slice {
  uint64_t offset = 0;
  uint64_t size = 0;
};

// The slice of a fat file to examine: the arm64 one, else the first.
std::optional<Slice> pickSlice(const Bytes& file, bool wide) {
  auto header = file.read(4, 4);
  if (!header) return std::nullopt;
  uint32_t count = u32(*header, 0, true);
  if (count == 0 || count > kMaxArchitectures) return std::nullopt;
  const uint64_t entrySize = wide ? 32 : 20;
  auto table = file.read(8, count * entrySize);
  if (!table) return std::nullopt;
  std::optional<Slice> chosen;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = i * entrySize;
    Slice slice = wide ? Slice{u64BE(*table, at + 8), u64BE(*table, at + 16)}
                       : Slice{u32(*table, at + 8, true), u32(*table, at + 12, true)};
    if (slice.offset > file.size() || slice.size > file.size() - slice.offset) return std::nullopt;
    if (!chosen || u32(*table, at, true) == kCpuArm64) chosen = slice;
    if (u32(*table, at, true) == kCpuArm64) break;
  }
  return chosen;
}

// Reads the entitlements blob at the given place of the signature.
std::optional<SigningInformation> readEntitlements(std::string_view blob) {
  SigningInformation info{true, std::nullopt};
  auto plist = PropertyList::parse(blob);
  if (plist && plist->dict()) info.entitlements = *plist->dict();
  return info;
}

// Walks the signature's SuperBlob (always big-endian) to its entitlements.
std::optional<SigningInformation> readSignature(const Bytes& file, uint64_t at, uint64_t size) {
  auto header = size >= 12 ? file.read(at, 12) : std::nullopt;
  if (!header || u32(*header, 0, true) != kEmbeddedSignature) return std::nullopt;
  const uint64_t length = u32(*header, 4, true);
  const uint64_t count = u32(*header, 8, true);
  if (length < 12 || length > size || count > kMaxBlobs || 12 + count * 8 > length)
    return std::nullopt;
  auto index = file.read(at + 12, count * 8);
  if (!index) return std::nullopt;
  for (uint64_t i = 0; i < count; ++i) {
    if (u32(*index, i * 8, true) != kEntitlementsSlot) continue;
    const uint64_t offset = u32(*index, i * 8 + 4, true);
    auto blobHeader = offset <= length - 8 ? file.read(at + offset, 8) : std::nullopt;
    if (!blobHeader || u32(*blobHeader, 0, true) != kEntitlementsBlob) return std::nullopt;
    const uint64_t blobLength = u32(*blobHeader, 4, true);
    if (blobLength < 8 || blobLength > length - offset || blobLength > kMaxEntitlements)
      return std::nullopt;
    auto content = file.read(at + offset + 8, blobLength - 8);
    if (!content) return std::nullopt;
    return readEntitlements(*content);
  }
  return SigningInformation{true, std::nullopt};
}

struct Header {
  bool bigEndian = false;
  uint64_t size = 0;  // of the mach_header, 28 or 32 bytes
};

std::optional<Header> machHeader(std::string_view magic) {
  auto raw = u32(magic, 0, true);
  switch (raw) {
    case 0xcefaedfe:
      return Header{false, 28};
    case 0xcffaedfe:
      return Header{false, 32};
    case 0xfeedface:
      return Header{true, 28};
    case 0xfeedfacf:
      return Header{true, 32};
    default:
      return std::nullopt;
  }
}

// Reads one architecture's image: header, load commands, then the signature.
std::optional<SigningInformation> readImage(const Bytes& file, Slice slice) {
  auto magic = slice.size >= 4 ? file.read(slice.offset, 4) : std::nullopt;
  auto header = magic ? machHeader(*magic) : std::nullopt;
  if (!header || slice.size < header->size) return std::nullopt;
  auto start = file.read(slice.offset, header->size);
  if (!start) return std::nullopt;
  const uint64_t ncmds = u32(*start, 16, header->bigEndian);
  const uint64_t sizeofcmds = u32(*start, 20, header->bigEndian);
  if (sizeofcmds > kMaxLoadCommands || sizeofcmds > slice.size - header->size) return std::nullopt;
  auto commands = file.read(slice.offset + header->size, sizeofcmds);
  if (!commands) return std::nullopt;
  // Every command is checked, so a header that claims more than it holds is
  // refused even when the signature command comes early.
  std::optional<Slice> signature;
  uint64_t at = 0;
  for (uint64_t i = 0; i < ncmds; ++i) {
    if (sizeofcmds - at < 8) return std::nullopt;
    const uint64_t cmd = u32(*commands, at, header->bigEndian);
    const uint64_t cmdsize = u32(*commands, at + 4, header->bigEndian);
    if (cmdsize < 8 || cmdsize > sizeofcmds - at) return std::nullopt;
    if (cmd == kLcCodeSignature && !signature) {
      if (cmdsize < 16) return std::nullopt;
      const uint64_t dataoff = u32(*commands, at + 8, header->bigEndian);
      const uint64_t datasize = u32(*commands, at + 12, header->bigEndian);
      if (dataoff > slice.size || datasize > slice.size - dataoff) return std::nullopt;
      signature = Slice{slice.offset + dataoff, datasize};
    }
    at += cmdsize;
  }
  if (!signature) return SigningInformation{};
  return readSignature(file, signature->offset, signature->size);
}

std::optional<SigningInformation> examine(const Bytes& file) {
  auto magic = file.read(0, 4);
  if (!magic) return std::nullopt;
  const uint32_t m = u32(*magic, 0, true);
  if (m == kFatMagic || m == kFatMagic64) {
    auto slice = pickSlice(file, m == kFatMagic64);
    if (!slice) return std::nullopt;
    return readImage(file, *slice);
  }
  return readImage(file, Slice{0, file.size()});
}

std::optional<std::string> executableNamed(const fs::path& infoPlist) {
  auto bytes = FileSystem::readFile(infoPlist, PropertyList::kMaxInfoPlistBytes);
  auto plist = bytes ? PropertyList::parse(*bytes) : std::nullopt;
  const PlistDict* dict = plist ? plist->dict() : nullptr;
  if (!dict) return std::nullopt;
  auto it = dict->find("CFBundleExecutable");
  if (it == dict->end() || !it->second.string()) return std::nullopt;
  return *it->second.string();
}

// The main executable of a bundle, or the path itself when it is a file.
std::optional<fs::path> mainExecutable(const fs::path& path) {
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return path;
  if (!fs::is_directory(path, ec)) return std::nullopt;
  if (FileSystem::exists(path / "Contents/Info.plist")) {
    auto name = executableNamed(path / "Contents/Info.plist");
    return name ? FileSystem::joinInside(path / "Contents/MacOS", *name) : std::nullopt;
  }
  auto names = FileSystem::listNames(path / "Wrapper");
  if (!names) return std::nullopt;
  for (const std::string& inner : *names) {
    if (!inner.ends_with(".app")) continue;
    const fs::path app = path / "Wrapper" / inner;
    auto name = executableNamed(app / "Info.plist");
    return name ? FileSystem::joinInside(app, *name) : std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<SigningInformation> signingInformation(const fs::path& path) {
  auto executable = mainExecutable(path);
  if (!executable) return std::nullopt;
  FileBytes file(*executable);
  if (!file.usable()) return std::nullopt;
  return examine(file);
}

std::optional<SigningInformation> signingInformationOfImage(std::string_view bytes) {
  return examine(MemoryBytes(bytes));
}

}  // namespace larkvale::CodeSigning
