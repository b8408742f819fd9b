#include "velo/paint/drop_target.h"

namespace VELO {

CIDropTarget::~CIDropTarget() { Revoke(); }

HRESULT CIDropTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CIDropTarget::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }

ULONG CIDropTarget::Release() {
  const LONG left = ::InterlockedDecrement(&m_refs);
  return static_cast<ULONG>(left > 0 ? left : 0);
}

IDataObject* CIDropTarget::AcceptedData(IDataObject* data, FORMATETC* found) noexcept {
  if (!data) return nullptr;
  for (FORMATETC& f : m_formats) {
    if (data->QueryGetData(&f) == S_OK) {
      if (found) *found = f;
      return data;
    }
  }
  return nullptr;
}

HRESULT CIDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  m_bAccept = AcceptedData(data, nullptr) != nullptr;
  if (effect) *effect = m_bAccept ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CIDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = m_bAccept ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CIDropTarget::DragLeave() {
  m_bAccept = false;
  return S_OK;
}

HRESULT CIDropTarget::Drop(IDataObject* data, DWORD, POINTL pt, DWORD* effect) {
  FORMATETC format{};
  m_ptDrop = {pt.x, pt.y};
  if (effect) *effect = DROPEFFECT_NONE;
  m_bAccept = false;
  if (!AcceptedData(data, &format)) return S_OK;
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return S_OK;
  if (OnDrop(&format, medium, effect) && effect) *effect = DROPEFFECT_COPY;
  ::ReleaseStgMedium(&medium);
  return S_OK;
}

bool CIDropTarget::OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) { return false; }

bool CIDropTarget::Register(HWND window) noexcept {
  if (m_hRegistered == window) return true;
  Revoke();
  if (FAILED(::RegisterDragDrop(window, this))) return false;
  m_hRegistered = window;
  return true;
}

void CIDropTarget::Revoke() noexcept {
  if (!m_hRegistered) return;
  ::RevokeDragDrop(m_hRegistered);
  m_hRegistered = nullptr;
}

}  // namespace VELO
