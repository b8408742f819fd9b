#include "ui/scale_mark_win.h"

#include <objidl.h>
// After objidl.h, which GDI+ needs first.
#include <gdiplus.h>

#include <cmath>

#include "ui/panel_layout.h"
#include "velo/core/manager.h"

namespace ostrel::ui {
namespace {

// The skin's own scale colours, cold to hot.
constexpr Gdiplus::ARGB kHeat[] = {0xFF3FA9F5, 0xFF43D17A, 0xFFF5B83F, 0xFFF0524F};
constexpr Gdiplus::REAL kGaugeStops[] = {0.0f, 0.45f, 0.75f, 1.0f};

void DrawBarMarker(Gdiplus::Graphics& g, int value) {
  const int x = ScaleMarkX(value);
  // A light pin across the bar, outlined in the card's colour so it reads on
  // every part of the gradient.
  Gdiplus::SolidBrush outline(Gdiplus::Color(0xFF131922));
  g.FillRectangle(&outline, x - kScaleMarkHalfWidth, kScaleBarTop - 6, 2 * kScaleMarkHalfWidth + 1, 18);
  Gdiplus::SolidBrush pin(Gdiplus::Color(0xFFF4F7FB));
  g.FillRectangle(&pin, x - kScaleMarkHalfWidth + 1, kScaleBarTop - 5, 2 * kScaleMarkHalfWidth - 1, 16);
}

void DrawGaugeFill(Gdiplus::Graphics& g, int value) {
  Gdiplus::LinearGradientBrush heat(Gdiplus::PointF(103.0f, 0.0f), Gdiplus::PointF(247.0f, 0.0f),
                                    Gdiplus::Color(kHeat[0]), Gdiplus::Color(kHeat[3]));
  Gdiplus::Color colours[4] = {Gdiplus::Color(kHeat[0]), Gdiplus::Color(kHeat[1]), Gdiplus::Color(kHeat[2]),
                               Gdiplus::Color(kHeat[3])};
  heat.SetInterpolationColors(colours, kGaugeStops, 4);
  Gdiplus::Pen pen(&heat, 6.0f);
  pen.SetStartCap(Gdiplus::LineCapRound);
  pen.SetEndCap(Gdiplus::LineCapRound);
  const Gdiplus::RectF circle(static_cast<Gdiplus::REAL>(kGaugeCentreX - kGaugeRadius),
                              static_cast<Gdiplus::REAL>(kGaugeCentreY - kGaugeRadius),
                              static_cast<Gdiplus::REAL>(2 * kGaugeRadius),
                              static_cast<Gdiplus::REAL>(2 * kGaugeRadius));
  const float sweep = GaugeSweep(value);
  g.DrawArc(&pen, circle, kGaugeStartDegrees, sweep);
  // A light knob at the filled end: where the value is.
  constexpr double kPi = 3.14159265358979323846;
  const double end = (kGaugeStartDegrees + sweep) * kPi / 180.0;
  const auto x = static_cast<Gdiplus::REAL>(kGaugeCentreX + kGaugeRadius * std::cos(end));
  const auto y = static_cast<Gdiplus::REAL>(kGaugeCentreY + kGaugeRadius * std::sin(end));
  Gdiplus::SolidBrush knob(Gdiplus::Color(0xFFF4F7FB));
  g.FillEllipse(&knob, x - 4.0f, y - 4.0f, 8.0f, 8.0f);
}

}  // namespace

ScaleMark::ScaleMark(VELO::MObject* owner, UINT id, VELO::CRect client)
    : MControl(owner, id, client, TRUE, FALSE, FALSE) {}

void ScaleMark::DrawControl(HDC& dc, VELO::CRect) {
  const float shown = VELO::Manager::GetCPUTemp();
  if (!std::isfinite(shown)) return;
  const int value = shown < 0.0f ? 0 : (shown > 99.0f ? 99 : static_cast<int>(shown));
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  if (gauge_) {
    DrawGaugeFill(g, value);
  } else {
    DrawBarMarker(g, value);
  }
}

}  // namespace ostrel::ui
