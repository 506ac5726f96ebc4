#include "shell/ui/FocusFrameStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include "base/Contrast.h"

namespace zr {

namespace {

constexpr int kFrameWidth = 2;  // pixels

uint32_t rgbOf(const QColor& c) { return c.rgb() & 0xFFFFFF; }

// What a view's cell shows under its text: its own colour, the selection,
// or the view's base.
QColor cellBackground(const QStyleOptionViewItem& item) {
  if (item.state & QStyle::State_Selected) {
    const QPalette::ColorGroup group = (item.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    return item.palette.color(group, QPalette::Highlight);
  }
  if (item.backgroundBrush.style() != Qt::NoBrush) return item.backgroundBrush.color();
  return item.palette.color(QPalette::Base);
}

}  // namespace

void FocusFrameStyle::install() {
  if (qobject_cast<FocusFrameStyle*>(QApplication::style())) return;
  // The style the desktop chose (by name, since the application owns and may
  // replace its current one); Fusion where the name gives none.
  QStyle* base = QStyleFactory::create(QApplication::style()->name());
  if (!base) base = QStyleFactory::create(QStringLiteral("Fusion"));
  QApplication::setStyle(new FocusFrameStyle(base));
}

void FocusFrameStyle::paintFrame(QPainter* p, const QRect& rect, const QPalette& palette, const QColor& background) {
  if (rect.width() < 2 * kFrameWidth || rect.height() < 2 * kFrameWidth) return;
  const QColor colour = QColor::fromRgb(focusFrameOn(rgbOf(palette.color(QPalette::Highlight)), rgbOf(background)));
  p->save();
  const int w = kFrameWidth;
  p->fillRect(QRect(rect.left(), rect.top(), rect.width(), w), colour);
  p->fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), colour);
  p->fillRect(QRect(rect.left(), rect.top() + w, w, rect.height() - 2 * w), colour);
  p->fillRect(QRect(rect.right() - w + 1, rect.top() + w, w, rect.height() - 2 * w), colour);
  p->restore();
}

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const {
  if (element == PE_FrameFocusRect && option) {
    const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
    const QColor background = focus && focus->backgroundColor.isValid() ? focus->backgroundColor
                                                                        : option->palette.color(QPalette::Window);
    paintFrame(painter, option->rect, option->palette, background);
    return;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  // A framed line with the focus (not the line inside a list or spin box,
  // nor a grid's cell editor, which have no frame of their own).
  if (element == PE_PanelLineEdit && option && (option->state & State_HasFocus)) {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (frame && frame->lineWidth > 0) paintFrame(painter, option->rect, option->palette, option->palette.color(QPalette::Window));
  }
}

void FocusFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                         const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  if ((control == CC_ComboBox || control == CC_SpinBox) && option && (option->state & State_HasFocus))
    paintFrame(painter, option->rect, option->palette, option->palette.color(QPalette::Window));
}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
  if (!option || !(option->state & State_HasFocus)) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  // The current cell of a view with the focus: the cell as usual, then the frame on it.
  if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
      item && element == CE_ItemViewItem) {
    QStyleOptionViewItem plain(*item);
    plain.state &= ~State_HasFocus;
    QProxyStyle::drawControl(element, &plain, painter, widget);
    paintFrame(painter, item->rect, item->palette, cellBackground(*item));
    return;
  }
  // The current tab of a tab bar with the focus: the frame around its caption.
  if (const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option); tab && element == CE_TabBarTabLabel) {
    QStyleOptionTab plain(*tab);
    plain.state &= ~State_HasFocus;
    QProxyStyle::drawControl(element, &plain, painter, widget);
    const QRect text = subElementRect(SE_TabBarTabText, tab, widget).adjusted(-3, -1, 3, 1);
    paintFrame(painter, text.intersected(tab->rect), tab->palette, tab->palette.color(QPalette::Window));
    return;
  }
  // A push button: the desktop's look marks its focus with a faint outline only.
  if (element == CE_PushButton) {
    QProxyStyle::drawControl(element, option, painter, widget);
    paintFrame(painter, option->rect, option->palette, option->palette.color(QPalette::Window));
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

}  // namespace zr
