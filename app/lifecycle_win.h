// The program's life around its panel: everything wWinMain does before and
// after the main dialog, in its fixed order.
#pragma once

#include <windows.h>

namespace ostrel::app {

// What the lifecycle hands over to the user-interface library and the panel.
class ProgramParts {
 public:
  virtual ~ProgramParts() = default;
  // Between GDI+ and COM coming up (the library keeps the module handle for
  // its resources).
  virtual void SetLibraryInstance(HINSTANCE instance) noexcept = 0;
  // Constructs the main dialog, runs it until its modal loop ends, stops its
  // worker and destroys it, all before returning: nothing of the panel may
  // outlive the GDI+, COM and OLE sessions it was drawn with.
  virtual void RunMainWindow() noexcept = 0;
};

// 0 when another instance already runs (nothing else happens), 1 after a
// normal run. Start-up: single-instance mutex, DPI rule, debug privilege,
// the other monitor process ended, GDI+ up, the library's instance, COM and
// OLE up; then the panel; then the other monitor process ended once more,
// OLE, COM and GDI+ down, and a bounded wait for network jobs given up on.
int RunProgram(HINSTANCE instance, ProgramParts& parts) noexcept;

}  // namespace ostrel::app
