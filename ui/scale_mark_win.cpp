#include "ui/scale_mark_win.h"

#include <cmath>
#include <memory>

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

// The whole arc in the skin's colours, drawn once: the antialiased gradient
// stroke is most of the cost, and each repaint then only copies the part up
// to the value.
constexpr int kArcBox = 2 * kGaugeRadius + 12;
constexpr int kArcLeft = kGaugeCentreX - kArcBox / 2;
constexpr int kArcTop = kGaugeCentreY - kArcBox / 2;

std::unique_ptr<Gdiplus::Bitmap> DrawArc() {
  auto arc = std::make_unique<Gdiplus::Bitmap>(kArcBox, kArcBox, PixelFormat32bppPARGB);
  if (arc->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics g(arc.get());
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.TranslateTransform(static_cast<Gdiplus::REAL>(-kArcLeft), static_cast<Gdiplus::REAL>(-kArcTop));
  Gdiplus::LinearGradientBrush heat(Gdiplus::PointF(103.0f, 0.0f), Gdiplus::PointF(247.0f, 0.0f),
                                    Gdiplus::Color(kHeat[0]), Gdiplus::Color(kHeat[3]));
  Gdiplus::Color colours[4] = {Gdiplus::Color(kHeat[0]), Gdiplus::Color(kHeat[1]), Gdiplus::Color(kHeat[2]),
                               Gdiplus::Color(kHeat[3])};
  heat.SetInterpolationColors(colours, kGaugeStops, 4);
  // The stroke reaches past both ends of the gradient: mirrored there, its
  // ends keep their own colours (tiled, blue would wrap to red).
  heat.SetWrapMode(Gdiplus::WrapModeTileFlipX);
  Gdiplus::Pen pen(&heat, 6.0f);
  pen.SetStartCap(Gdiplus::LineCapRound);
  pen.SetEndCap(Gdiplus::LineCapRound);
  const Gdiplus::RectF circle(static_cast<Gdiplus::REAL>(kGaugeCentreX - kGaugeRadius),
                              static_cast<Gdiplus::REAL>(kGaugeCentreY - kGaugeRadius),
                              static_cast<Gdiplus::REAL>(2 * kGaugeRadius),
                              static_cast<Gdiplus::REAL>(2 * kGaugeRadius));
  g.DrawArc(&pen, circle, kGaugeStartDegrees, kGaugeSweepDegrees);
  return arc;
}

void DrawGaugeFill(Gdiplus::Graphics& g, Gdiplus::Bitmap* arc, int value) {
  const float sweep = GaugeSweep(value);
  constexpr double kPi = 3.14159265358979323846;
  if (arc) {
    // The sector from the start to the value, widened by the round cap's
    // half-width so the filled end is round too.
    constexpr float kCap = 3.0f * 180.0f / (kPi * kGaugeRadius);
    Gdiplus::GraphicsPath sector;
    sector.AddPie(static_cast<Gdiplus::REAL>(kArcLeft), static_cast<Gdiplus::REAL>(kArcTop),
                  static_cast<Gdiplus::REAL>(kArcBox), static_cast<Gdiplus::REAL>(kArcBox),
                  kGaugeStartDegrees - kCap, sweep + 2 * kCap);
    g.SetClip(&sector);
    g.DrawImage(arc, kArcLeft, kArcTop);
    g.ResetClip();
  }
  // A light knob at the filled end: where the value is.
  const double end = (kGaugeStartDegrees + sweep) * kPi / 180.0;
  const auto x = static_cast<Gdiplus::REAL>(kGaugeCentreX + kGaugeRadius * std::cos(end));
  const auto y = static_cast<Gdiplus::REAL>(kGaugeCentreY + kGaugeRadius * std::sin(end));
  Gdiplus::SolidBrush knob(Gdiplus::Color(0xFFF4F7FB));
  g.FillEllipse(&knob, x - 4.0f, y - 4.0f, 8.0f, 8.0f);
}

}  // namespace

ScaleMark::ScaleMark(VELO::MObject* owner, UINT id, VELO::CRect client)
    : MControl(owner, id, client, TRUE, FALSE, FALSE) {}

ScaleMark::~ScaleMark() = default;

void ScaleMark::DrawControl(HDC& dc, VELO::CRect) {
  const float shown = VELO::Manager::GetCPUTemp();
  if (!std::isfinite(shown)) return;
  const int value = shown < 0.0f ? 0 : (shown > 99.0f ? 99 : static_cast<int>(shown));
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  if (gauge_) {
    if (!arc_) arc_ = DrawArc();
    DrawGaugeFill(g, arc_.get(), value);
  } else {
    DrawBarMarker(g, value);
  }
}

}  // namespace ostrel::ui
