// MObject: the identity of every object of the library that owns controls or
// receives their notifications. A control talks to its owner only through
// OnBaseMessage (notifications) and OnControlUpdate (repaint requests).
#pragma once

#include <windows.h>

#include <cwchar>

#include "velo/core/geometry.h"
#include "velo/core/velo_api.h"

namespace VELO {

class MControl;

class VELO_API MObject {
 public:
  MObject() = default;
  MObject(const MObject&) = default;
  MObject& operator=(const MObject&) = default;
  virtual ~MObject() = default;

  // Only the most-derived class name matches: no walk over base classes.
  virtual int IsClass(const wchar_t* name) {
    const wchar_t* own = GetClassNameW();
    return own && name && std::wcscmp(own, name) == 0 ? 1 : 0;
  }
  virtual const wchar_t* GetClassNameW() const { return nullptr; }
  virtual const wchar_t* GetObjectClass() { return nullptr; }
  virtual const wchar_t* BaseObjectClassName() { return nullptr; }
  virtual LRESULT OnBaseMessage(UINT /*controlId*/, UINT /*code*/, WPARAM, LPARAM) { return 0; }
  virtual LRESULT OnControlUpdate(CRect /*rc*/, int /*resetCache*/, MControl* /*control*/) { return 0; }
};

}  // namespace VELO
