// CPoint and CRect: client coordinates unless stated otherwise. Plain value
// types, layout-compatible with POINT and RECT so that they pass straight to
// Win32 calls.
#pragma once

#include <windows.h>

#include <algorithm>

namespace VELO {

class CPoint : public tagPOINT {
 public:
  CPoint() noexcept : tagPOINT{0, 0} {}
  CPoint(LONG px, LONG py) noexcept : tagPOINT{px, py} {}
  CPoint(const POINT& p) noexcept : tagPOINT(p) {}  // NOLINT: implicit by design
  // From the lParam of a mouse message (signed 16-bit coordinates).
  static CPoint FromLParam(LPARAM lp) noexcept {
    return CPoint(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
  }

  void Offset(LONG dx, LONG dy) noexcept {
    x += dx;
    y += dy;
  }
  bool operator==(const CPoint& o) const noexcept { return x == o.x && y == o.y; }
  bool operator!=(const CPoint& o) const noexcept { return !(*this == o); }
  CPoint operator+(const CPoint& o) const noexcept { return CPoint(x + o.x, y + o.y); }
  CPoint operator-(const CPoint& o) const noexcept { return CPoint(x - o.x, y - o.y); }
};

class CRect : public tagRECT {
 public:
  CRect() noexcept : tagRECT{0, 0, 0, 0} {}
  CRect(LONG l, LONG t, LONG r, LONG b) noexcept : tagRECT{l, t, r, b} {}
  CRect(const RECT& r) noexcept : tagRECT(r) {}  // NOLINT: implicit by design
  CRect(const CPoint& topLeft, const CPoint& bottomRight) noexcept
      : tagRECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  LONG Width() const noexcept { return right - left; }
  LONG Height() const noexcept { return bottom - top; }
  CPoint TopLeft() const noexcept { return CPoint(left, top); }
  CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
  CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }

  // Empty: no area (width or height zero or negative).
  bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
  bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  // Half-open like PtInRect: the right and bottom edges are outside.
  bool PtInRect(const POINT& p) const noexcept {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }

  void SetRect(LONG l, LONG t, LONG r, LONG b) noexcept { *this = CRect(l, t, r, b); }
  void SetRectEmpty() noexcept { *this = CRect(); }
  void OffsetRect(LONG dx, LONG dy) noexcept {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  void OffsetRect(const POINT& p) noexcept { OffsetRect(p.x, p.y); }
  void MoveToXY(LONG x, LONG y) noexcept { OffsetRect(x - left, y - top); }
  void InflateRect(LONG dx, LONG dy) noexcept {
    left -= dx;
    right += dx;
    top -= dy;
    bottom += dy;
  }
  void DeflateRect(LONG dx, LONG dy) noexcept { InflateRect(-dx, -dy); }
  void DeflateRect(LONG l, LONG t, LONG r, LONG b) noexcept {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
  }
  void NormalizeRect() noexcept {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }

  // Same results as the Win32 IntersectRect/UnionRect: an empty operand is
  // ignored by a union and an empty intersection is (0, 0, 0, 0). Both return
  // whether the result is non-empty.
  bool IntersectRect(const RECT& a, const RECT& b) noexcept {
    CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom));
    *this = r.IsRectEmpty() ? CRect() : r;
    return !IsRectEmpty();
  }
  bool UnionRect(const RECT& a, const RECT& b) noexcept {
    const CRect ra(a), rb(b);
    if (ra.IsRectEmpty()) {
      *this = rb.IsRectEmpty() ? CRect() : rb;
    } else if (rb.IsRectEmpty()) {
      *this = ra;
    } else {
      *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom));
    }
    return !IsRectEmpty();
  }
  bool Intersects(const RECT& other) const noexcept {
    CRect r;
    return r.IntersectRect(*this, other);
  }

  CRect operator&(const RECT& o) const noexcept {
    CRect r;
    r.IntersectRect(*this, o);
    return r;
  }
  CRect operator|(const RECT& o) const noexcept {
    CRect r;
    r.UnionRect(*this, o);
    return r;
  }
  bool operator==(const RECT& o) const noexcept {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const RECT& o) const noexcept { return !(*this == o); }

  operator LPRECT() noexcept { return this; }         // NOLINT: Win32 calls take RECT*
  operator LPCRECT() const noexcept { return this; }  // NOLINT
};

static_assert(sizeof(CPoint) == sizeof(POINT));
static_assert(sizeof(CRect) == sizeof(RECT));

}  // namespace VELO
