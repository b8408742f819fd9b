#include "velo/paint/drag_source.h"

#include <ole2.h>
#include <shlobj.h>

#include "common/win/unique_any.h"
#include "velo/paint/drag_image.h"

// COM interfaces have no virtual destructor by design: COM objects end in
// Release, never through a delete of the interface.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace VELO {
namespace {

// COM objects on the caller's stack: DoDragDrop returns before they go, and
// the reference counts only follow COM's rules.
class DropSource final : public IDropSource {
 public:
  explicit DropSource(DragImage& image) noexcept : image_(image) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = (riid == IID_IUnknown || riid == IID_IDropSource) ? static_cast<IDropSource*>(this) : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  // Called after every move over a target: the picture follows the cursor.
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
    POINT cursor{};
    if (::GetCursorPos(&cursor)) image_.MoveTo(cursor);
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  DragImage& image_;
};

class BitmapData final : public IDataObject {
 public:
  explicit BitmapData(HBITMAP bitmap) noexcept : bitmap_(bitmap) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = (riid == IID_IUnknown || riid == IID_IDataObject) ? static_cast<IDataObject*>(this) : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (!f || !m || QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    *m = {};
    if (f->cfFormat == CF_BITMAP) {
      m->tymed = TYMED_GDI;
      m->hBitmap = static_cast<HBITMAP>(::CopyImage(bitmap_, IMAGE_BITMAP, 0, 0, 0));
      return m->hBitmap ? S_OK : E_OUTOFMEMORY;
    }
    BITMAP bm{};
    ::GetObjectW(bitmap_, sizeof(bm), &bm);
    HDC meta = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!meta) return E_OUTOFMEMORY;
    ostrel::win::unique_hdc src(::CreateCompatibleDC(nullptr));
    {
      ostrel::win::scoped_select sel(src.get(), bitmap_);
      ::BitBlt(meta, 0, 0, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, SRCCOPY);
    }
    m->tymed = TYMED_ENHMF;
    m->hEnhMetaFile = ::CloseEnhMetaFile(meta);
    return m->hEnhMetaFile ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    if (!f) return E_POINTER;
    if (f->cfFormat == CF_BITMAP && (f->tymed & TYMED_GDI)) return S_OK;
    if (f->cfFormat == CF_ENHMETAFILE && (f->tymed & TYMED_ENHMF)) return S_OK;
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC formats[] = {{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI},
                           {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF}};
    return ::SHCreateStdEnumFmtEtc(2, formats, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  HBITMAP bitmap_;
};

}  // namespace

DWORD DragBitmap(HBITMAP bitmap) noexcept {
  if (!bitmap) return DROPEFFECT_NONE;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  DragImage image(bitmap, cursor);
  BitmapData data(bitmap);
  DropSource source(image);
  DWORD effect = DROPEFFECT_NONE;
  if (FAILED(::DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect)))
    return DROPEFFECT_NONE;
  return effect;
}

}  // namespace VELO
