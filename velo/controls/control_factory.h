// The control factory: a class name to a new control. Names are compared
// exactly (case-sensitive); a name this build does not know gives null and
// creates nothing.
#pragma once

#include <windows.h>

#include <memory>

#include "velo/core/geometry.h"

namespace VELO {

class MControl;
class MObject;

std::unique_ptr<MControl> MakeControl(const wchar_t* className, MObject* owner, UINT id, CRect rc,
                                      const wchar_t* text, BOOL visible, BOOL enabled);

}  // namespace VELO
