// Plain files and the folders that hold them, by the components of their
// paths, for a fake file system to serve beside its device nodes.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ksthid::testing {

class FakeFileTree {
 public:
  using Parts = std::vector<std::string>;

  // A file, and every folder above it. An empty text makes a folder.
  void add(const Parts& path, std::optional<std::string> text) {
    for (std::size_t depth = 1; depth < path.size(); ++depth) {
      entries_.try_emplace(Parts(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(depth)));
    }
    entries_[path] = std::move(text);
  }

  bool isFolder(const Parts& path) const {
    const auto found = entries_.find(path);
    return found != entries_.end() && !found->second;
  }

  // Null for no file there.
  const std::string* text(const Parts& path) const {
    const auto found = entries_.find(path);
    return found != entries_.end() && found->second ? &*found->second : nullptr;
  }

  // The names in a folder, added to `names` where missing.
  void addChildren(const Parts& folder, std::vector<std::string>& names) const {
    for (const auto& [path, text] : entries_) {
      if (path.size() == folder.size() + 1 &&
          std::equal(folder.begin(), folder.end(), path.begin()) &&
          std::ranges::find(names, path.back()) == names.end()) {
        names.push_back(path.back());
      }
    }
  }

 private:
  std::map<Parts, std::optional<std::string>> entries_;
};

}  // namespace ksthid::testing
