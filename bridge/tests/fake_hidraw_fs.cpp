#define FUSE_USE_VERSION 35
#include "fake_hidraw_fs.h"

#include <fuse.h>
#include <fuse_lowlevel.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <poll.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace ksthid::testing {
namespace {

std::vector<std::string> components(const char* path) {
  std::vector<std::string> parts;
  std::istringstream in(path);
  for (std::string part; std::getline(in, part, '/');) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

std::string uevent(const FakeHidDevice& device) {
  char id[32];
  std::snprintf(id, sizeof id, "%04X:%08X:%08X", BUS_USB, device.identity.vendorId,
                device.identity.productId);
  return "DRIVER=hid-generic\nHID_ID=" + std::string(id) + "\nHID_NAME=" + device.product + "\n";
}

// Mounts made in a mount namespace of the test process's own vanish with the
// process, even when it is killed. Where it may not have one, they are made
// where everybody sees them.
void keepMountsToThisProcess() {
  static const bool own = ::unshare(CLONE_NEWNS) == 0 &&
                          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  static_cast<void>(own);
}

std::vector<std::uint8_t> bytesOf(const Report& report) {
  return {report.begin(), report.end()};
}

}  // namespace

// The file system operations, called on the server thread.
struct FakeHidrawFs::Server {
  enum class Kind { none, directory, uevent, node, file };
  struct Entry {
    Kind kind = Kind::none;
    std::string device;
    // Of a file of the tree.
    const std::string* text = nullptr;
  };

  static FakeHidrawFs& fs() {
    return *static_cast<FakeHidrawFs*>(fuse_get_context()->private_data);
  }

  static fuse_operations operations() {
    fuse_operations operations{};
    operations.init = init;
    operations.getattr = getattr;
    operations.readdir = readdir;
    operations.open = open;
    operations.read = read;
    operations.write = write;
    operations.poll = poll;
    operations.ioctl = ioctl;
    operations.release = release;
    return operations;
  }

  // Called with the lock held.
  static bool present(const std::string& name) {
    const auto found = fs().devices_.find(name);
    return found != fs().devices_.end() && found->second.present;
  }

  // The hidraw class and nodes.
  static Entry findBuiltIn(const char* path) {
    using Parts = std::vector<std::string>;
    static const std::vector<Parts> fixedDirectories{
        {}, {"sys"}, {"sys", "class"}, {"sys", "class", "hidraw"}, {"dev"}};
    const Parts parts = components(path);
    const Parts hidraw = fixedDirectories[3];
    if (std::ranges::find(fixedDirectories, parts) != fixedDirectories.end()) {
      return {Kind::directory, {}};
    }
    if (parts.size() == 2 && parts[0] == "dev" && present(parts[1])) return {Kind::node, parts[1]};
    if (parts.size() < 4 || !std::equal(hidraw.begin(), hidraw.end(), parts.begin()) ||
        !present(parts[3])) {
      return {};
    }
    if (parts.size() == 4 || (parts.size() == 5 && parts[4] == "device")) {
      return {Kind::directory, parts[3]};
    }
    if (parts.size() == 6 && parts[4] == "device" && parts[5] == "uevent") {
      return {Kind::uevent, parts[3]};
    }
    return {};
  }

  static Entry find(const char* path) {
    if (const Entry builtIn = findBuiltIn(path); builtIn.kind != Kind::none) return builtIn;
    const std::vector<std::string> parts = components(path);
    if (fs().tree_.isFolder(parts)) return {Kind::directory, {}};
    if (const std::string* text = fs().tree_.text(parts)) return {Kind::file, {}, text};
    return {};
  }

  // Of a directory that find() has found.
  static std::vector<std::string> children(const char* path) {
    std::vector<std::string> names;
    if (findBuiltIn(path).kind == Kind::directory) names = builtInChildren(path);
    fs().tree_.addChildren(components(path), names);
    return names;
  }

  static std::vector<std::string> builtInChildren(const char* path) {
    const std::vector<std::string> parts = components(path);
    if (parts.empty()) return {"sys", "dev"};
    if (parts.size() == 1 && parts[0] == "sys") return {"class"};
    if (parts.size() == 2) return {"hidraw"};
    if (parts.size() == 4) return {"device"};
    if (parts.size() == 5) return {"uevent"};
    // dev and sys/class/hidraw: one entry per device present
    std::vector<std::string> names;
    for (const auto& [name, device] : fs().devices_) {
      if (device.present) names.push_back(name);
    }
    return names;
  }

  static void* init(fuse_conn_info*, fuse_config* config) {
    // Every change of the tree shows at once.
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    config->attr_timeout = 0;
    return fuse_get_context()->private_data;
  }

  static int getattr(const char* path, struct stat* status, fuse_file_info*) {
    std::lock_guard lock(fs().mutex_);
    const Entry entry = find(path);
    *status = {};
    switch (entry.kind) {
      case Kind::directory:
        status->st_mode = S_IFDIR | 0755;
        status->st_nlink = 2;
        return 0;
      case Kind::uevent:
        status->st_mode = S_IFREG | 0444;
        status->st_size = static_cast<off_t>(uevent(fs().devices_.at(entry.device)).size());
        return 0;
      case Kind::file:
        status->st_mode = S_IFREG | 0444;
        status->st_size = static_cast<off_t>(entry.text->size());
        return 0;
      case Kind::node:
        status->st_mode = S_IFREG | 0660;
        return 0;
      default:
        return -ENOENT;
    }
  }

  static int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
                     fuse_readdir_flags) {
    std::lock_guard lock(fs().mutex_);
    if (find(path).kind != Kind::directory) return -ENOTDIR;
    fill(buffer, ".", nullptr, 0, fuse_fill_dir_flags{});
    fill(buffer, "..", nullptr, 0, fuse_fill_dir_flags{});
    for (const std::string& name : children(path)) {
      fill(buffer, name.c_str(), nullptr, 0, fuse_fill_dir_flags{});
    }
    return 0;
  }

  // A uevent file or a file of the tree is open as handle 0, a device node
  // under a number of its own.
  static int open(const char* path, fuse_file_info* file) {
    std::lock_guard lock(fs().mutex_);
    const Entry entry = find(path);
    file->direct_io = 1;
    // A close never waits for the server: a test process that dies with a
    // node open would otherwise wait in its exit for its own dead thread.
    file->noflush = 1;
    file->fh = 0;
    if (entry.kind == Kind::uevent || entry.kind == Kind::file) return 0;
    if (entry.kind != Kind::node) return -ENOENT;
    if (const int error = fs().devices_.at(entry.device).openError) return -error;
    file->nonseekable = 1;
    file->fh = fs().nextOpen_++;
    fs().open_[file->fh] = {entry.device};
    return 0;
  }

  // Null for an open uevent file.
  static OpenNode* nodeOf(const fuse_file_info* file) {
    const auto found = fs().open_.find(file->fh);
    return found == fs().open_.end() ? nullptr : &found->second;
  }

  static FakeHidDevice& deviceOf(const OpenNode& node) { return fs().devices_.at(node.device); }

  static int read(const char* path, char* buffer, std::size_t size, off_t offset,
                  fuse_file_info* file) {
    std::lock_guard lock(fs().mutex_);
    if (file->fh == 0) {
      const Entry entry = find(path);
      if (entry.kind != Kind::uevent && entry.kind != Kind::file) return -ENOENT;
      const std::string text = entry.text ? *entry.text : uevent(fs().devices_.at(entry.device));
      const std::string part = text.substr(std::min<std::size_t>(offset, text.size()), size);
      std::memcpy(buffer, part.data(), part.size());
      return static_cast<int>(part.size());
    }
    FakeHidDevice& device = deviceOf(*nodeOf(file));
    if (!device.present) return -EIO;
    if (device.interruptedReads > 0) {
      --device.interruptedReads;
      return -EINTR;
    }
    if (device.input.empty()) return -EAGAIN;
    // As hidraw does, a report longer than the read asks for is cut short.
    const std::vector<std::uint8_t> report = std::move(device.input.front());
    device.input.pop_front();
    const std::size_t length = std::min(size, report.size());
    std::memcpy(buffer, report.data(), length);
    return static_cast<int>(length);
  }

  static int write(const char*, const char* buffer, std::size_t size, off_t, fuse_file_info* file) {
    std::lock_guard lock(fs().mutex_);
    const OpenNode* node = nodeOf(file);
    if (!node) return -EBADF;
    FakeHidDevice& device = deviceOf(*node);
    if (!device.present) return -ENODEV;
    if (device.vanishOnWrite) {
      device.vanishOnWrite = false;
      device.present = false;
      fs().wakePollers(node->device);
      return -ENODEV;
    }
    if (device.interruptedWrites > 0) {
      --device.interruptedWrites;
      return -EINTR;
    }
    if (size != kReportLength) return -EINVAL;  // the bridge takes whole reports only
    Report request;
    std::memcpy(request.data(), buffer, size);
    device.written.push_back(request);
    const auto answer = device.firmware ? device.firmware->handleRequest(request) : std::nullopt;
    if (answer && !device.silent) {
      std::vector<std::uint8_t> bytes = bytesOf(*answer);
      if (device.answerLength) bytes.resize(*device.answerLength, 0xEE);
      device.input.push_back(std::move(bytes));
      fs().wakePollers(node->device);
    }
    return static_cast<int>(size);
  }

  static int poll(const char*, fuse_file_info* file, fuse_pollhandle* poller, unsigned* events) {
    std::lock_guard lock(fs().mutex_);
    OpenNode* node = nodeOf(file);
    if (!node) return -EBADF;
    const FakeHidDevice& device = deviceOf(*node);
    *events = POLLOUT;
    if (!device.input.empty()) *events |= POLLIN;
    if (!device.present) *events |= POLLERR | POLLHUP;
    if (poller) {
      if (node->poller) fuse_pollhandle_destroy(node->poller);
      node->poller = poller;
    }
    return 0;
  }

  static int ioctl(const char*, unsigned int command, void*, fuse_file_info* file, unsigned int,
                   void* data) {
    if (command != HIDIOCGRAWINFO) return -ENOTTY;
    std::lock_guard lock(fs().mutex_);
    const OpenNode* node = nodeOf(file);
    if (!node) return -ENOTTY;
    const FakeHidDevice& device = deviceOf(*node);
    if (!device.present) return -ENODEV;
    if (device.identifyError) return -device.identifyError;
    const hidraw_devinfo info{BUS_USB, static_cast<std::int16_t>(device.identity.vendorId),
                              static_cast<std::int16_t>(device.identity.productId)};
    std::memcpy(data, &info, sizeof info);
    return 0;
  }

  static int release(const char*, fuse_file_info* file) {
    std::lock_guard lock(fs().mutex_);
    const OpenNode* node = nodeOf(file);
    if (!node) return 0;
    if (node->poller) fuse_pollhandle_destroy(node->poller);
    fs().open_.erase(file->fh);
    return 0;
  }
};

FakeHidrawFs::FakeHidrawFs() {
  keepMountsToThisProcess();
  std::string folder = (std::filesystem::temp_directory_path() / "fake-hidraw-XXXXXX").string();
  if (!::mkdtemp(folder.data())) {
    throw std::system_error(errno, std::generic_category(), "cannot create " + folder);
  }
  mountPoint_ = folder;
  static const fuse_operations operations = Server::operations();
  char program[] = "fake-hidraw";
  char* arguments[] = {program, nullptr};
  fuse_args args = FUSE_ARGS_INIT(1, arguments);
  fuse_ = fuse_new(&args, &operations, sizeof operations, this);
  fuse_opt_free_args(&args);
  if (!fuse_ || fuse_mount(fuse_, folder.c_str()) != 0) {
    if (fuse_) fuse_destroy(fuse_);
    std::filesystem::remove(mountPoint_);
    throw std::runtime_error("cannot mount a FUSE file system on " + folder);
  }
  stop_ = ::eventfd(0, EFD_CLOEXEC);
  server_ = std::thread([this] { serve(); });
}

FakeHidrawFs::~FakeHidrawFs() {
  const std::uint64_t stop = 1;
  if (::write(stop_, &stop, sizeof stop) != sizeof stop) std::perror("fake-hidraw: stop");
  server_.join();
  // The server has stopped, so that unmounting cannot wait for it.
  fuse_unmount(fuse_);
  for (const auto& [id, node] : open_) {
    if (node.poller) fuse_pollhandle_destroy(node.poller);
  }
  fuse_destroy(fuse_);
  ::close(stop_);
  std::filesystem::remove(mountPoint_);
}

void FakeHidrawFs::serve() {
  fuse_session* session = fuse_get_session(fuse_);
  fuse_buf request{};
  pollfd watched[] = {{fuse_session_fd(session), POLLIN, 0}, {stop_, POLLIN, 0}};
  for (;;) {
    if (::poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (watched[1].revents != 0 || watched[0].revents != POLLIN) break;
    const int received = fuse_session_receive_buf(session, &request);
    if (received == -EINTR) continue;
    if (received <= 0) break;
    fuse_session_process_buf(session, &request);
  }
  std::free(request.mem);
}

VirtualBridge& FakeHidrawFs::addBridge(const std::string& name) {
  std::lock_guard lock(mutex_);
  FakeHidDevice& device = devices_[name];
  device.identity = {kBridgeVendorId, kBridgeProductId, 0};
  device.product = "USB HID bridge";
  device.firmware = std::make_unique<VirtualBridge>();
  return *device.firmware;
}

void FakeHidrawFs::addOtherDevice(const std::string& name, HidAttributes identity) {
  std::lock_guard lock(mutex_);
  devices_[name].identity = identity;
  devices_[name].product = "Other HID device";
}

void FakeHidrawFs::addFile(const std::string& path, std::optional<std::string> text) {
  std::lock_guard lock(mutex_);
  tree_.add(components(path.c_str()), std::move(text));
}

void FakeHidrawFs::change(const std::string& name,
                          const std::function<void(FakeHidDevice&)>& edit) {
  std::lock_guard lock(mutex_);
  edit(devices_.at(name));
  wakePollers(name);
}

void FakeHidrawFs::queueInput(const std::string& name, std::vector<std::uint8_t> bytes) {
  change(name, [&](FakeHidDevice& device) { device.input.push_back(std::move(bytes)); });
}

void FakeHidrawFs::queueReport(const std::string& name, const Report& report) {
  queueInput(name, bytesOf(report));
}

std::vector<Report> FakeHidrawFs::writtenTo(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return devices_.at(name).written;
}

// Called with the lock held. The kernel polls again on being woken.
void FakeHidrawFs::wakePollers(const std::string& device) {
  for (auto& [id, node] : open_) {
    if (node.device != device || !node.poller) continue;
    fuse_notify_poll(node.poller);
    fuse_pollhandle_destroy(node.poller);
    node.poller = nullptr;
  }
}

}  // namespace ksthid::testing
