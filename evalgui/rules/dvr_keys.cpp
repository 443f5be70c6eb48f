#include "dvr_keys.h"

DvrKey dvrKeyOf(int code, const DvrKeyCodes& codes) {
  if (code == codes.up) return DvrKey::Up;
  if (code == codes.down) return DvrKey::Down;
  if (code == codes.pageUp) return DvrKey::PageUp;
  if (code == codes.pageDown) return DvrKey::PageDown;
  if (code == codes.enter || code == codes.keypadEnter) return DvrKey::Enter;
  return DvrKey::Other;
}
