// Frame cost of the paint step: median and 95th percentile over 2,000 full
// repaints of two typical windows, timed around PaintManager::PaintFrame
// (the work of one WM_PAINT without the 15 ms frame-rate sleep).
//
//   velo_paint_bench [frames]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/velo/paint_support.h"
#include "ui/scale_mark_win.h"
#include "velo/controls/mbutton.h"
#include "velo/controls/mpicture.h"
#include "velo/controls/mtext.h"
#include "velo/core/manager.h"

using namespace velo_test;

namespace {

double Ms(LONGLONG ticks) {
  LARGE_INTEGER f;
  ::QueryPerformanceFrequency(&f);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(f.QuadPart);
}

double CpuMs() {
  FILETIME c, e, k, u;
  ::GetThreadTimes(::GetCurrentThread(), &c, &e, &k, &u);
  const auto v = [](FILETIME t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(v(k) + v(u)) / 10000.0;
}

void Run(const char* name, HostWindow& w, int frames, bool clearCaches) {
  ostrel::win::unique_window_dc screen(nullptr);
  CRect client;
  w.pm.GetClientRect(client);
  std::vector<double> times;
  times.reserve(static_cast<size_t>(frames));
  const double cpuStart = CpuMs();
  for (int i = 0; i < frames; ++i) {
    if (clearCaches) {
      for (VELO::MControl* c : w.pm.GetControls()) c->SetUpdate(0, 0);
    }
    LARGE_INTEGER a, b;
    ::QueryPerformanceCounter(&a);
    w.pm.PaintFrame(screen.get(), client);
    ::QueryPerformanceCounter(&b);
    times.push_back(Ms(b.QuadPart - a.QuadPart));
  }
  const double cpu = (CpuMs() - cpuStart) / frames;
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  const double p95 = times[std::min(times.size() - 1, times.size() * 95 / 100)];
  std::printf("%-44s %5d frames  median %6.3f ms  p95 %6.3f ms  mean CPU %6.3f ms\n", name, frames, median,
              p95, cpu);
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  {
    auto bk = MakeStrip({0xFF203040u}, 340, 250);
    SavePng(*bk, L"bench_bk.png");
    SavePng(*MakeStrip({0xFFFF0000u}, 24, 24), L"bench_close.png");
    SavePng(*MakeStrip({0xFF3060A0u, 0xFF4070B0u, 0xFF205090u, 0xFF808080u}, 40, 20), L"bench_button.png");
    VELO::Manager::SetCPUTemp(57.0f);

    HostWindow panel(100, 100, 340, 250, true);
    panel.pm.LoadBKImage(L"bench_bk.png");
    panel.pm.EnableDrawInfo(TRUE);
    static_cast<VELO::MPicture*>(
        panel.pm.CreateControl(&panel, L"MPicture", 1, CRect(306, 10, 330, 34), nullptr, 1, 1))
        ->SetImage(L"bench_close.png", 1);
    static_cast<VELO::MButton*>(
        panel.pm.CreateControl(&panel, L"MButton", 2, CRect(120, 200, 220, 230), L"OK", 1, 1))
        ->SetImage(L"bench_button.png", 4);
    PaintNow(panel.hwnd());
    Run("340x250 background, readout, picture, button", panel, frames, false);
    Run("  same, control caches cleared every frame", panel, frames, true);
    // Ostrel's panel marks the value on its scale at every repaint.
    auto* mark = static_cast<ostrel::ui::ScaleMark*>(
        panel.pm.AddControl(std::make_unique<ostrel::ui::ScaleMark>(&panel, 3, CRect(0, 0, 340, 250)), 0));
    Run("  same, with the bar's scale marker", panel, frames, false);
    mark->SetLook(1);
    Run("  same, with the gauge's filled arc", panel, frames, false);
  }
  {
    HostWindow box(100, 400, 380, 200, true);
    box.pm.CreateControl(&box, L"MText", 1, CRect(20, 20, 360, 50), L"Update available", 1, 1);
    auto* body = static_cast<VELO::MText*>(box.pm.CreateControl(
        &box, L"MText", 2, CRect(20, 60, 360, 130), L"A newer version is ready. Install it now?", 1, 1));
    body->EnableMultiLine(TRUE);
    for (UINT id : {3u, 4u}) {
      static_cast<VELO::MButton*>(
          box.pm.CreateControl(&box, L"MButton", id,
                               CRect(id == 3 ? 160 : 270, 150, id == 3 ? 250 : 360, 180),
                               id == 3 ? L"Yes" : L"No", 1, 1))
          ->SetImage(L"bench_button.png", 4);
    }
    PaintNow(box.hwnd());
    Run("380x200 two texts, two buttons", box, frames, false);
    Run("  same, control caches cleared every frame", box, frames, true);
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
