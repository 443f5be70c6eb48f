// The hidraw layer against a system tree and a device tree that the fuzzer's bytes build on disk:
// entries of class/hidraw under any name (long, with control characters, numbers that overflow),
// uevent files that are missing, huge, FIFOs, folders or symlink loops, and device nodes that are
// regular files, FIFOs, folders, symlink loops or links to a file outside both roots.
//
// Beyond the sanitizers it checks that every path found lies directly in the device root, that no
// node of the tree passes for a HID device (none of them is one), that the words for a failure stay
// one bounded line, and that a connect followed by a command writes to no file at all. A node whose
// open or uevent read would block shows as a time-out of the input (fuzz.sh gives each 10 s).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fuzzer/FuzzedDataProvider.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "ksthid.h"
#include "library_state.h"
#include "platform/hidraw_transport.h"

namespace {

namespace fs = std::filesystem;

// Far beyond what a failure's words need; a uevent is at most one page.
constexpr std::size_t kLongestFailureText = 8192;
constexpr std::size_t kMostEntries = 8;
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kLongestContent = 512;
// A sparse file: nothing on disk, but a reader that takes it whole takes a gigabyte.
constexpr std::uintmax_t kHugeFileSize = std::uintmax_t{1} << 30;

enum class NodeKind {
  missing,
  regular,
  huge,
  fifo,
  folder,
  symlinkLoop,
  linkOutside,
  kMaxValue = linkOutside
};

[[noreturn]] void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: \"%s\"\n", what, detail.c_str());
  std::abort();
}

int KSTHID_CALL answerEveryBox(void*, const char*, const char*, unsigned) {
  return KSTHID_IDCANCEL;
}

// A name a folder can hold: no slash, no NUL, not "." or "..", not empty.
std::string entryName(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return "hidraw" + std::to_string(input.ConsumeIntegralInRange(0, 12));
    case 1:
      return "hidraw" + std::string(input.ConsumeIntegralInRange<std::size_t>(1, 240), '0') + "7";
    default: {
      std::string name = input.ConsumeRandomLengthString(kLongestName);
      if (input.ConsumeBool()) name = ("hidraw" + name).substr(0, kLongestName);
      for (char& c : name) {
        if (c == '/' || c == '\0') c = '_';
      }
      if (name.empty() || name == "." || name == "..") name += "x";
      return name;
    }
  }
}

class Tree {
 public:
  Tree() {
    // In memory where the system has such a folder: every input builds and removes a tree.
    const fs::path parent = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = (parent / "hidraw_tree_fuzz.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) fail("cannot make a folder", pattern);
    base_ = pattern;
  }
  ~Tree() { fs::remove_all(base_); }

  fs::path sysRoot() const { return base_ / "sys"; }
  fs::path devRoot() const { return base_ / "dev"; }

  void build(FuzzedDataProvider& input) {
    clear();
    fs::create_directories(sysRoot() / "class" / "hidraw");
    fs::create_directories(devRoot());
    makeNode(base_ / "outside", NodeKind::regular, "outside both roots");
    const std::size_t entries = input.ConsumeIntegralInRange<std::size_t>(0, kMostEntries);
    for (std::size_t entry = 0; entry < entries && input.remaining_bytes() > 0; ++entry) {
      addEntry(input);
    }
  }

  // Every regular file below the base folder with its contents.
  std::map<fs::path, std::string> files() const {
    std::map<fs::path, std::string> found;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(base_, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      if (!it->is_symlink() && it->is_regular_file() && it->file_size() < kHugeFileSize) {
        std::ifstream file(it->path(), std::ios::binary);
        found[it->path()].assign(std::istreambuf_iterator<char>(file), {});
      }
    }
    return found;
  }

 private:
  void clear() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(base_, error)) fs::remove_all(entry.path());
  }

  void addEntry(FuzzedDataProvider& input) {
    const std::string name = entryName(input);
    const fs::path sysEntry = sysRoot() / "class" / "hidraw" / name;
    if (fs::exists(fs::symlink_status(sysEntry))) return;
    const auto sysKind = input.ConsumeEnum<NodeKind>();
    if (sysKind == NodeKind::folder || sysKind == NodeKind::linkOutside) {
      // As sysfs does it: the class entry a folder, or a link to the device's folder elsewhere.
      const fs::path folder = sysKind == NodeKind::folder ? sysEntry : sysRoot() / "devices" / name;
      fs::create_directories(folder / "device");
      if (sysKind == NodeKind::linkOutside) fs::create_directory_symlink(folder, sysEntry);
      makeNode(folder / "device" / "uevent", input.ConsumeEnum<NodeKind>(),
               input.ConsumeRandomLengthString(kLongestContent));
    } else {
      makeNode(sysEntry, sysKind, input.ConsumeRandomLengthString(kLongestContent));
    }
    const fs::path devNode = devRoot() / name;
    if (!fs::exists(fs::symlink_status(devNode))) {
      makeNode(devNode, input.ConsumeEnum<NodeKind>(),
               input.ConsumeRandomLengthString(kLongestContent));
    }
  }

  void makeNode(const fs::path& path, NodeKind kind, const std::string& content) {
    switch (kind) {
      case NodeKind::missing:
        return;
      case NodeKind::regular:
      case NodeKind::huge: {
        std::ofstream(path, std::ios::binary) << content;
        if (kind == NodeKind::huge) fs::resize_file(path, kHugeFileSize);
        return;
      }
      case NodeKind::fifo:
        ::mkfifo(path.c_str(), 0600);
        return;
      case NodeKind::folder:
        fs::create_directory(path);
        return;
      case NodeKind::symlinkLoop:
        fs::create_symlink(path.filename(), path);
        return;
      case NodeKind::linkOutside:
        fs::create_symlink(base_ / "outside", path);
        return;
    }
  }

  fs::path base_;
};

void checkPaths(const std::vector<std::string>& paths, const fs::path& devRoot) {
  for (const std::string& path : paths) {
    const fs::path found(path);
    const std::string name = found.filename().string();
    if (found.parent_path() != devRoot || name.empty() || name == "." || name == "..") {
      fail("a path outside the device root", path);
    }
  }
}

void checkNodes(ksthid::HidrawTransport& transport, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (auto handle = transport.open(path); handle && handle->attributes()) {
      fail("a node that is no HID device was identified", path);
    }
    const std::string why = transport.describeFailure(path);
    if (why.size() > kLongestFailureText || why.find('\n') != std::string::npos) {
      fail("the words for a failure are no bounded line", why.substr(0, 200));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Tree tree;
  FuzzedDataProvider input(data, size);
  tree.build(input);
  const auto filesBefore = tree.files();

  ksthid::HidrawTransport transport(tree.sysRoot(), tree.devRoot());
  const std::vector<std::string> paths = transport.enumerateHidPaths();
  checkPaths(paths, tree.devRoot());
  checkNodes(transport, paths);

  kstHID_setMessageBoxHandler(&answerEveryBox, nullptr);
  ksthid::useTransport(&transport);
  if (const int16_t boards = kstHID_connect(); boards != 0) {
    fail("boards found in a tree without HID devices", std::to_string(boards));
  }
  int16_t board = 0;
  uint8_t on = 1;
  kstHID_setLEDState(&on, &board, &board);
  ksthid::useTransport(nullptr);

  if (tree.files() != filesBefore) fail("a file of the tree was written", "");
  return 0;
}
