#pragma once
// The mouse wheel changes a list, a spin box or a grid's drop-down only when
// that control has the keyboard focus; otherwise the wheel goes on to the
// page around it, which scrolls. Scrolling a settings page over its lists
// must never change (and store) a setting. The desktop program installs one
// guard on the application; it covers every window.
#include <QObject>

namespace zr {

class WheelGuard : public QObject {
  Q_OBJECT
 public:
  explicit WheelGuard(QObject* parent = nullptr) : QObject(parent) {}
  // Installs the guard on the running application (once).
  static void install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zr
