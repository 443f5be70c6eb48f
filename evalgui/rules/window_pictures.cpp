#include "window_pictures.h"

#include <map>
#include <string>

#include "picture_sources.h"

const Drawing& windowPicture(std::string_view name) {
  static const std::map<std::string, Drawing, std::less<>> drawings = [] {
    std::map<std::string, Drawing, std::less<>> parsed;
    for (const PictureSource& source : kPictureSources) {
      parsed.emplace(source.name, parseMvg(source.mvg));
    }
    return parsed;
  }();
  const auto drawing = drawings.find(name);
  if (drawing == drawings.end()) {
    throw std::out_of_range("no picture \"" + std::string(name) + "\"");
  }
  return drawing->second;
}
