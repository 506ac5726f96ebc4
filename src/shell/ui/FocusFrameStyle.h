#pragma once
// Where the keyboard focus is must be plain to see in every colour scheme.
// The desktop's default look draws the focus as a thin, half-transparent line
// in the highlight colour, and only after a Tab: on the channel grid's
// magenta selection, on a dark palette and on a tab bar it is all but
// invisible. This style wraps the desktop's own and draws instead a frame two
// pixels wide around the current cell of a grid, list or tree that has the
// focus, around the current tab of a tab bar that has it, and wherever a
// control asks for a focus frame (check boxes, option buttons, push buttons),
// and around a list, spin box or framed line with the focus: in the
// highlight colour where that stands out from what lies under it, else in
// black or white.
#include <QProxyStyle>

class QPainter;

namespace zr {

class FocusFrameStyle : public QProxyStyle {
  Q_OBJECT
 public:
  using QProxyStyle::QProxyStyle;

  // Wraps the running application's style (once; a second call keeps it).
  static void install();

  // Paints the frame inside `rect` for a focus on `background`.
  static void paintFrame(QPainter* p, const QRect& rect, const QPalette& palette, const QColor& background);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget = nullptr) const override;
};

}  // namespace zr
