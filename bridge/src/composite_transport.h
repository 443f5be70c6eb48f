// Several transports seen as one: the devices of each, in turn, behind one
// set of handles.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "transport.h"

namespace ksthid {

class CompositeTransport final : public Transport {
 public:
  explicit CompositeTransport(std::vector<Transport*> parts) : parts_(std::move(parts)) {}

  std::vector<std::string> enumerateHidPaths() override;
  Handle openWriteHandle(const std::string& path, const SecurityAttributes& security) override;
  Handle openReadHandle(const std::string& path, const SecurityAttributes& security) override;
  std::optional<HidAttributes> attributes(Handle handle) override;
  bool writeReport(Handle handle, const Report& report) override;
  Handle createReadEvent(const SecurityAttributes& security) override;
  void startRead(Handle handle, Report& into, ReadRecord& record) override;
  WaitResult waitForRead(Handle event, std::uint32_t milliseconds) override;
  void resetReadEvent(Handle event) override;
  void cancelRead(Handle handle) override;
  void closeHandle(Handle handle) override;
  std::string describeFailure(const std::string& path) override;

 private:
  struct PartHandle {
    std::size_t part;
    Handle handle;
  };
  // A read event of each part, each with the record its reads use.
  struct PartEvents {
    std::vector<ReadRecord> records;
    std::optional<std::size_t> reading;
  };

  template <typename Open>
  Handle open(const std::string& path, Open openInPart);
  std::optional<PartHandle> find(Handle handle);

  std::vector<Transport*> parts_;
  std::mutex mutex_;
  std::map<std::string, std::size_t> partOfPath_;
  std::map<Handle, PartHandle> handles_;
  std::map<Handle, PartEvents> events_;
  Handle nextHandle_ = 0x100;
};

}  // namespace ksthid
