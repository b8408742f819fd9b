// CIDropTarget: a window's OLE drop target. It accepts what the window
// registered (bitmaps as GDI objects, DIBs and file lists in global memory,
// enhanced metafiles), answers copy while such data hovers, and hands a drop
// to the virtual OnDrop. The object is embedded in its owner: reference
// counting keeps COM's rules but never deletes it.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <vector>

#include "velo/core/velo_api.h"

namespace VELO {

// The code a control's owner receives (OnBaseMessage) when data is dropped
// on the control: wParam is the clipboard format, lParam the STGMEDIUM*,
// valid for the call only. A nonzero answer takes the drop.
constexpr UINT kDropNotification = 20;

// COM interfaces have no virtual destructor by design: COM objects end in
// Release, never through a delete of the interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class VELO_API CIDropTarget : public IDropTarget {
 public:
  CIDropTarget() noexcept = default;
  CIDropTarget(const CIDropTarget&) = delete;
  CIDropTarget& operator=(const CIDropTarget&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
  virtual ~CIDropTarget();
  // Nonzero when the drop was taken.
  virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect);
  // Where the drop being handed to OnDrop landed, in screen coordinates.
  POINT GetDropPoint() const noexcept { return m_ptDrop; }

  // Registers the window with OLE; false when OLE is not started on this
  // thread. Revoke undoes it (also done by the destructor).
  bool Register(HWND window) noexcept;
  void Revoke() noexcept;

 private:
  IDataObject* AcceptedData(IDataObject* data, FORMATETC* found) noexcept;

  LONG m_refs = 1;
  HWND m_hRegistered = nullptr;
  bool m_bAccept = false;
  POINT m_ptDrop{};
  std::vector<FORMATETC> m_formats{
      {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI},
      {CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
      {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
      {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF},
  };
};
#pragma GCC diagnostic pop

}  // namespace VELO
