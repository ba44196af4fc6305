#pragma once

namespace rix {

// The hourglass for the whole screen while an operation runs; the normal
// cursor comes back however the scope is left.
class WaitCursor {
public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace rix
