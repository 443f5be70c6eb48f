#pragma once

// The keys that act on the DVR entry when pressed in it, and how a toolkit's key codes name them.

enum class DvrKey { Up, Down, PageUp, PageDown, Enter, Other };

// A toolkit's codes for those keys; a keyboard may have two Enter keys with codes of their own.
struct DvrKeyCodes {
  int up;
  int down;
  int pageUp;
  int pageDown;
  int enter;
  int keypadEnter;
};

DvrKey dvrKeyOf(int code, const DvrKeyCodes& codes);
