#include "message_boxes.h"

#include <array>
#include <utility>

namespace tools {
namespace {

struct BoxKind {
  std::string_view start;
  ExitStatus status;
};

// The library's boxes, told apart by how their texts begin.
constexpr std::array kBoxKinds{
    BoxKind{"Invalid HID Number: ", ExitStatus::noSuchBoard},
    BoxKind{"Please check USB connection.", ExitStatus::usbFailure},
    BoxKind{"Invalid I2C address.", ExitStatus::deviceRefused},
    BoxKind{"SDA error", ExitStatus::deviceRefused},
    BoxKind{"ledNumber must be 0 or 1", ExitStatus::usage},
};

std::string oneLine(std::string_view text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += (text[i] == '\r' || text[i] == '\n') ? std::string(" / ") : std::string(1, text[i]);
  }
  return line;
}

std::string_view buttonName(int answer) {
  switch (answer) {
    case KSTHID_IDRETRY:
      return "Retry";
    case KSTHID_IDCANCEL:
      return "Cancel";
    case KSTHID_IDNO:
      return "No";
    default:
      return "OK";
  }
}

}  // namespace

ExitStatus classifyBox(std::string_view text) {
  for (const BoxKind& kind : kBoxKinds) {
    if (text.starts_with(kind.start)) return kind.status;
  }
  return ExitStatus::success;
}

MessageBoxes::MessageBoxes(std::string program, int retries, std::ostream& errors)
    : program_(std::move(program)), retriesLeft_(retries), errors_(errors) {
  kstHID_setMessageBoxHandler(&MessageBoxes::show, this);
}

MessageBoxes::~MessageBoxes() {
  kstHID_setMessageBoxHandler(nullptr, nullptr);
}

std::vector<std::string> MessageBoxes::takeInformation() {
  return std::exchange(information_, {});
}

int KSTHID_CALL MessageBoxes::show(void* context, const char* text, const char*, unsigned style) {
  return static_cast<MessageBoxes*>(context)->answer(text ? text : "", style);
}

int MessageBoxes::answer(const std::string& text, unsigned style) {
  const ExitStatus status = classifyBox(text);
  if (status == ExitStatus::success) {
    information_.push_back(oneLine(text));
    return (style & KSTHID_MB_TYPEMASK) == KSTHID_MB_YESNO ? KSTHID_IDNO : KSTHID_IDOK;
  }
  if (!failure_ || worse(status, failure_->status) == status) failure_ = {status, oneLine(text)};

  int choice = KSTHID_IDOK;
  switch (style & KSTHID_MB_TYPEMASK) {
    case KSTHID_MB_RETRYCANCEL:
      choice = retriesLeft_ > 0 ? KSTHID_IDRETRY : KSTHID_IDCANCEL;
      if (choice == KSTHID_IDRETRY) --retriesLeft_;
      break;
    case KSTHID_MB_OKCANCEL:
      choice = KSTHID_IDCANCEL;
      break;
    case KSTHID_MB_YESNO:
      choice = KSTHID_IDNO;
      break;
  }
  errors_ << program_ << ": " << oneLine(text) << " [" << buttonName(choice) << "]\n" << std::flush;
  return choice;
}

}  // namespace tools
