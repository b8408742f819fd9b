#include "velo/controls/control_factory.h"

#include <cwchar>

#include "velo/controls/carea.h"
#include "velo/controls/mbutton.h"
#include "velo/controls/mpicture.h"
#include "velo/controls/mtext.h"

namespace VELO {

// Only the classes this library builds are here; the rest of the name table
// (the extended control set) yields null like any unknown name.
std::unique_ptr<MControl> MakeControl(const wchar_t* className, MObject* owner, UINT id, CRect rc,
                                      const wchar_t* text, BOOL visible, BOOL enabled) {
  if (!className || !*className) return nullptr;
  const auto is = [className](const wchar_t* name) { return std::wcscmp(className, name) == 0; };
  if (is(L"CArea")) return std::make_unique<CArea>(owner, id, rc, visible, 1);
  if (is(L"MText")) return std::make_unique<MText>(owner, id, rc, text, visible);
  if (is(L"MPicture")) return std::make_unique<MPicture>(owner, id, rc, visible, enabled);
  if (is(L"MButton")) return std::make_unique<MButton>(owner, id, rc, text, visible, enabled);
  // A plain MButton under the other name: it adds nothing to it.
  if (is(L"CImageButton2")) return std::make_unique<MButton>(owner, id, rc, text, visible, 1);
  return nullptr;
}

}  // namespace VELO
