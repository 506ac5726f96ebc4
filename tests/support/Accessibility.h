#pragma once
// What a screen reader finds in a window: every control that takes the focus
// by Tab must carry a name a person understands. Asks Qt's accessibility
// layer itself (the interface a screen reader's bridge reads), so a label
// linked as buddy counts as the name, as it does for the reader.
#include <QAccessible>
#include <QStackedWidget>
#include <QStringList>
#include <QWidget>

namespace zr::testing {

// True when `w` would be on the screen with `root`: neither it nor a parent
// below `root` is hidden, except the pages a tab set holds behind the current one.
inline bool reachable(const QWidget* w, const QWidget* root) {
  for (const QWidget* p = w; p && p != root; p = p->parentWidget())
    if (p->isHidden() && !qobject_cast<const QStackedWidget*>(p->parentWidget())) return false;
  return true;
}

inline QString accessibleName(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface ? iface->text(QAccessible::Name) : QString();
}

// A name says something when it holds a letter or digit a reader can speak in English.
inline bool speakable(const QString& name) {
  for (QChar c : name)
    if (c.unicode() < 0x80 && c.isLetterOrNumber()) return true;
  return false;
}

// The focusable controls of `root` (and its own windows) without a name, as
// "objectName (class)".
inline QStringList unnamedControls(QWidget* root) {
  QStringList out;
  QList<QWidget*> all = root->findChildren<QWidget*>();
  all.prepend(root);
  for (QWidget* w : all) {
    if (!(w->focusPolicy() & Qt::TabFocus) || !reachable(w, root)) continue;
    if (w->isWindow() && w != root) continue;  // a window of its own is walked by itself
    if (!speakable(accessibleName(w)))
      out << QStringLiteral("%1 (%2) \"%3\"").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()),
                                                  accessibleName(w));
  }
  return out;
}

}  // namespace zr::testing
