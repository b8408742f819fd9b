// Writes a 37 x 21 test pattern with MRender::SaveBitmapToFile to the path
// given, so that a reader outside Windows can check the file: blue, with a red
// top-left and a green bottom-right pixel.
#include <windows.h>

#include <cstdint>

#include "velo/render/mrender.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const auto dc = VELO::MRender::CreateCompatibleDC(nullptr);
  BYTE* bits = nullptr;
  const auto bitmap = VELO::MRender::CreateARGB32Bitmap(dc.get(), 37, 21, &bits);
  if (!bitmap || !bits) return 3;
  auto* pixels = reinterpret_cast<uint32_t*>(bits);
  for (int i = 0; i < 37 * 21; ++i) pixels[i] = 0xFF0000FFu;
  // Rows are stored bottom-up.
  pixels[20 * 37] = 0xFFFF0000u;
  pixels[36] = 0xFF00FF00u;
  return VELO::MRender::SaveBitmapToFile(bitmap.get(), argv[1]) ? 0 : 1;
}
