#include "velo/plain/alpha_math.h"
#include "velo/render/blend_functions.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

BLENDFUNCTION ConstantAlpha(int alpha) noexcept { return {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0}; }

}  // namespace

int MRender::DrawVerticalTransition(HDC dst, HDC src, const CRect& dstRect, const CRect& srcRect, int from,
                                    int to) noexcept {
  const AlphaBlendFn blend = SystemBlendFunctions().alphaBlend;
  const int rows = dstRect.Height();
  const int width = dstRect.Width();
  for (int i = 0; i < rows; ++i) {
    blend(dst, dstRect.left, dstRect.top + i, width, 1, src, srcRect.left, srcRect.top + i, width, 1,
          ConstantAlpha(render::TransitionAlpha(from, to, rows, i)));
  }
  return render::TransitionLastAlpha(from, to, rows);
}

int MRender::DrawHorizontalTransition(HDC dst, HDC src, const CRect& dstRect, const CRect& srcRect, int from,
                                      int to) noexcept {
  const AlphaBlendFn blend = SystemBlendFunctions().alphaBlend;
  const int columns = dstRect.Width();
  const int height = dstRect.Height();
  for (int i = 0; i < columns; ++i) {
    blend(dst, dstRect.left + i, dstRect.top, 1, height, src, srcRect.left + i, srcRect.top, 1, height,
          ConstantAlpha(render::TransitionAlpha(from, to, columns, i)));
  }
  return render::TransitionLastAlpha(from, to, columns);
}

void MRender::DrawRightBottomTransition(HDC dst, HDC src, CRect rect, int size, COLORREF) noexcept {
  const AlphaBlendFn blend = SystemBlendFunctions().alphaBlend;
  const int w = rect.Width();
  const int h = rect.Height();
  for (int i = 0; i < size; ++i) {
    for (int j = 0; j < size; ++j) {
      const int x = w - size + i;
      const int y = h - size + j;
      blend(dst, x, y, 1, 1, src, x, y, 1, 1, ConstantAlpha(render::CornerFadeAlpha(size, i, j)));
    }
  }
}

}  // namespace VELO
