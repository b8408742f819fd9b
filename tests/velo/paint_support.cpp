#include "tests/velo/paint_support.h"

#include <filesystem>
#include <fstream>

#include "velo/core/manager.h"

namespace velo_test {

HostWindow::HostWindow(int x, int y, int width, int height, bool layered) {
  // No activation: under Xvfb, destroying an activated window costs seconds.
  const DWORD ex = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | (layered ? WS_EX_LAYERED : 0);
  Create(nullptr, L"paint test", WS_POPUP, ex, CRect(x, y, x + width, y + height));
  pm.SetLayeredWindow(layered);
  pm.Init(m_hWnd, this);
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  Pump(10);
}

HostWindow::~HostWindow() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

LRESULT HostWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCLBUTTONDOWN:
      // The system's move loop would wait for a real button release: count
      // the request instead.
      if (wParam == HTCAPTION) {
        ++dragRequests;
        return 0;
      }
      break;
    case WM_PAINT:
      if (pm.OnWindowMessage(msg, wParam, lParam)) return 0;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSELEAVE:
    case WM_TIMER:
    case WM_KEYDOWN:
    case WM_KEYUP:
      pm.OnWindowMessage(msg, wParam, lParam);
      return 0;
    default:
      pm.OnWindowMessage(msg, wParam, lParam);
      break;
  }
  return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

void HostWindow::OnDestroyMessage(HWND hwnd) { pm.OnDestroyMessage(hwnd); }

LRESULT HostWindow::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
  notes.push_back({id, code});
  if (onNote) onNote(id, code);
  return onMessage ? onMessage(id, code, wParam, lParam) : 0;
}

LRESULT HostWindow::OnControlUpdate(CRect rc, int resetCache, VELO::MControl* control) {
  return pm.OnControlUpdate(rc, resetCache, control);
}

void Pump(int ms) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(1);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

void PaintNow(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump(5);
}

void Mouse(HWND window, UINT msg, CPoint pt, UINT keys) {
  POINT screen = pt;
  ::ClientToScreen(window, &screen);
  ::SetCursorPos(screen.x, screen.y);
  Pump(5);
  ::SendMessageW(window, msg, keys, MAKELPARAM(pt.x, pt.y));
  Pump(5);
}

void RealMove(POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  const int cy = ::GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = (screen.x * 65536 + cx - 1) / cx;
  in.mi.dy = (screen.y * 65536 + cy - 1) / cy;
  ::SendInput(1, &in, sizeof(in));
}

void RealButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &in, sizeof(in));
}

POINT ScreenPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ::ClientToScreen(window, &p);
  return p;
}

std::unique_ptr<Canvas> Grab(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  auto canvas = std::make_unique<Canvas>(client.right, client.bottom, 0x12345678u);
  ostrel::win::unique_window_dc screen(nullptr);
  ::BitBlt(canvas->dc(), 0, 0, client.right, client.bottom, screen.get(), origin.x, origin.y, SRCCOPY);
  return canvas;
}

bool Near(Argb a, Argb b, int tolerance) {
  return ColorDistance(a, b) <= tolerance && std::abs(Alpha(a) - Alpha(b)) <= tolerance;
}

std::wstring SkinFile(const wchar_t* name) {
  const std::wstring folder = VELO::Manager::GetSkinPath().str();
  // skins\ then skins\theme1\.
  const std::wstring parent = folder.substr(0, folder.find_last_of(L'\\', folder.size() - 2) + 1);
  ::CreateDirectoryW(parent.c_str(), nullptr);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder + name;
}

bool SavePng(Gdiplus::Bitmap& image, const wchar_t* name) {
  // {557CF406-1A04-11D3-9A73-0000F81EF32E}: GDI+'s PNG encoder.
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  return image.Save(SkinFile(name).c_str(), &png, nullptr) == Gdiplus::Ok;
}

void WriteSkinBytes(const wchar_t* name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(std::filesystem::path(SkinFile(name)), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::unique_ptr<Gdiplus::Bitmap> MakeStrip(const std::vector<Argb>& colors, int frameWidth, int frameHeight) {
  const int n = static_cast<int>(colors.size());
  auto image = std::make_unique<Gdiplus::Bitmap>(frameWidth * n, frameHeight, PixelFormat32bppARGB);
  for (int i = 0; i < n; ++i) {
    for (int y = 0; y < frameHeight; ++y) {
      for (int x = 0; x < frameWidth; ++x) image->SetPixel(i * frameWidth + x, y, Gdiplus::Color(colors[i]));
    }
  }
  return image;
}

int GdiObjectCount() {
  const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted) return static_cast<int>(counted);
  // Wine keeps GDI objects in one table indexed by the low word of the
  // handle; a handle with a zero high word names whatever lives in a slot.
  int n = 0;
  for (UINT_PTR i = 1; i < 0x10000; ++i) {
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  }
  return n;
}

int ThreadWindowCount() {
  int n = 0;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND, LPARAM count) -> BOOL {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&n));
  return n;
}

}  // namespace velo_test
