#include "editors/SettingsMap.h"

#include <QRegularExpression>

#include <QByteArray>
#include <QJsonValue>
#include <algorithm>

#include "data/ByteArray.h"
#include "data/CharTable.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/RunError.h"
#include "base/TextTable.h"

namespace zr {

namespace {

constexpr int kEmptyCodePosition = 255;  // `AsciiBuf` value of an empty position
constexpr int kCodeBufferSize = 16;

// value/divisor with a fixed number of decimals, rounded half up (values here
// are never negative).
QString formatRatio(long long value, long long divisor, int decimals) {
  if (decimals <= 0) {
    const long long whole = divisor == 1 ? value : (2 * value + divisor) / (2 * divisor);
    return QString::number(whole);
  }
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const long long scaled = (2 * value * scale + divisor) / (2 * divisor);
  return QStringLiteral("%1.%2").arg(scaled / scale).arg(scaled % scale, decimals, 10, QLatin1Char('0'));
}

}  // namespace

// ---- list builders -----------------------------------------------------------

ListBuilder entries(std::initializer_list<int> entryNumbers) {
  std::vector<int> list(entryNumbers);
  return [list](const TextTable& t) {
    QStringList out;
    for (int e : list) out << t.SoftFace(e);
    return out;
  };
}

ListBuilder entryRange(int first, int last) {
  return [first, last](const TextTable& t) {
    QStringList out;
    for (int e = first; e <= last; ++e) out << t.SoftFace(e);
    return out;
  };
}

ListBuilder numbers(int first, int last, NumberFormat f) {
  return [first, last, f](const TextTable& t) {
    const QString before = (f.prefix >= 0 ? t.SoftFace(f.prefix) : QString()) + f.joiner;
    const QString after = f.suffix >= 0 ? t.SoftFace(f.suffix) : QString();
    QStringList out;
    out.reserve(last - first + 1);
    for (int k = first; k <= last; ++k)
      out << before + formatRatio(static_cast<long long>(k) * f.scale + f.add, f.divisor, f.decimals) + after;
    return out;
  };
}

ListBuilder operator+(ListBuilder a, ListBuilder b) {
  return [a = std::move(a), b = std::move(b)](const TextTable& t) { return a(t) + b(t); };
}

// ---- enabling and links ------------------------------------------------------

EnableRule whenChecked(const QString& leader) {
  return {leader, [](const FieldState& s) { return s.checked; }};
}
EnableRule whenPosition(const QString& leader, int position) {
  return {leader, [position](const FieldState& s) { return s.position == position; }};
}
EnableRule whenPositionNot(const QString& leader, int position) {
  return {leader, [position](const FieldState& s) { return s.position != position; }};
}
EnableRule whenTextLength(const QString& leader, int minChars) {
  return {leader, [minChars](const FieldState& s) { return s.text.size() >= minChars; }};
}

void requireField(const SettingsMap& m, const QString& name) {
  if (!m.def(name)) throw RunError(kErrSubscript, QStringLiteral("%1 is not a field of the settings").arg(name));
}

Link followChecked(const QString& target) {
  return [target](SettingsMap& m, const FieldState& s) {
    requireField(m, target);
    m.setChecked(target, s.checked);
  };
}
Link samePosition(const QString& target) {
  return [target](SettingsMap& m, const FieldState& s) {
    requireField(m, target);
    if (s.position >= 0) m.setPosition(target, s.position);
  };
}

// ---- rows --------------------------------------------------------------------

QString FieldDef::baseName() const {
  const qsizetype open = name.indexOf(u'(');
  return open < 0 ? name : name.left(open);
}

int FieldDef::index() const {
  const qsizetype open = name.indexOf(u'(');
  if (open < 0 || !name.endsWith(u')')) return -1;
  bool ok = false;
  const int i = name.mid(open + 1, name.size() - open - 2).toInt(&ok);
  return ok ? i : -1;
}

QString FieldDef::handlerTag() const {
  // The info lines are stored when the field loses the focus.
  if (store == Store::InfoText) return QStringLiteral("frmChMem->%1_LostFocus").arg(baseName());
  const char* ending = widget == Widget::Text ? "_Change" : "_Click";
  return QStringLiteral("frmChMem->%1%2").arg(baseName(), QLatin1String(ending));
}

FieldDef& FieldDef::byte(int address, int addOffset) {
  store = Store::Byte;
  addr = address;
  offset = addOffset;
  return *this;
}

FieldDef& FieldDef::coded(int address, std::vector<int> codeList, CodeMatch how) {
  store = Store::Coded;
  addr = address;
  codes = std::move(codeList);
  match = how;
  return *this;
}

FieldDef& FieldDef::bits(int address, int firstBit, int bitCount) {
  store = Store::Bits;
  addr = address;
  shift = firstBit;
  width = bitCount;
  return *this;
}

FieldDef& FieldDef::codeText(std::vector<Span> parts, int kind) {
  store = Store::CodeText;
  spans = std::move(parts);
  filterKind = kind;
  maxLength = 0;
  for (const Span& s : spans) maxLength += s.count;
  return *this;
}

FieldDef& FieldDef::info(int line) {
  store = Store::InfoText;
  infoLine = line;
  maxLength = kInfoLineChars;
  return *this;
}

FieldDef& FieldDef::withRule(FieldRule r) {
  store = Store::Rule;
  rule = std::move(r);
  return *this;
}

FieldDef& FieldDef::repairAbove(int max, int value) {
  hasRepair = true;
  repair.max = max;
  repair.above = value;
  return *this;
}

FieldDef& FieldDef::repairBelow(int min, int value) {
  hasRepair = true;
  repair.min = min;
  repair.below = value;
  return *this;
}

FieldDef& FieldDef::repairOther(int value) {
  hasRepair = true;
  repair.other = value;
  return *this;
}

namespace {
FieldDef makeField(const QString& name, const QString& frame, Widget w, const QString& label, int caption) {
  FieldDef d;
  d.name = name;
  d.frame = frame;
  d.widget = w;
  d.label = label;
  d.caption = caption;
  return d;
}
}  // namespace

FieldDef listField(const QString& name, const QString& frame, const QString& label, int caption) {
  return makeField(name, frame, Widget::List, label, caption);
}
FieldDef checkField(const QString& name, const QString& frame, int caption) {
  return makeField(name, frame, Widget::Check, QString(), caption);
}
FieldDef textField(const QString& name, const QString& frame, const QString& label, int caption) {
  return makeField(name, frame, Widget::Text, label, caption);
}
FieldDef buttonField(const QString& name, const QString& frame, int caption,
                     std::function<void(SettingsMap&)> action) {
  FieldDef d = makeField(name, frame, Widget::Button, QString(), caption);
  d.action = std::move(action);
  return d;
}

// ---- the engine --------------------------------------------------------------

SettingsMap::SettingsMap(ByteArray& image, const TextTable& text, CharTable& chars, ErrorLog& log,
                         std::vector<FieldDef> table)
    : image_(image), text_(text), chars_(chars), log_(log), defs_(std::move(table)), states_(defs_.size()) {
  for (size_t i = 0; i < defs_.size(); ++i) {
    const FieldDef& d = defs_[i];
    if (index_.contains(d.name))
      throw RunError(kErrInvalidCall, QStringLiteral("settings field %1 is listed twice").arg(d.name));
    index_.insert(d.name, static_cast<int>(i));
    // Lists fixed at design time exist before the first refresh.
    if (d.fixedList && d.list) states_[i].entries = d.list(text_);
  }
}

SettingsMap::SettingsMap(Core& core) : SettingsMap(core.image.TempArray, core.text, core.chars, core.log) {
  history_ = &core.history;
}

int SettingsMap::indexOf(const QString& name) const { return index_.value(name, -1); }

const FieldDef* SettingsMap::def(const QString& name) const {
  const int i = indexOf(name);
  return i < 0 ? nullptr : &defs_[static_cast<size_t>(i)];
}

const FieldState* SettingsMap::state(const QString& name) const {
  const int i = indexOf(name);
  return i < 0 ? nullptr : &states_[static_cast<size_t>(i)];
}

QString SettingsMap::caption(const FieldDef& d) const {
  return d.captionText + (d.caption >= 0 ? text_.SoftFace(d.caption) : QString());
}

void SettingsMap::assign(int i, FieldState s) {
  const FieldDef& d = defs_[static_cast<size_t>(i)];
  // A list's tip follows its position; a text field's tip is fixed.
  if (d.tip) s.toolTip = s.position >= 0 || d.widget == Widget::Text ? d.tip(s.position) : QString();
  FieldState& current = states_[static_cast<size_t>(i)];
  if (s == current) return;
  current = std::move(s);
  emit fieldChanged(d.name, current);
}

int SettingsMap::rawValue(const FieldDef& d) const {
  if (d.store == Store::Bits) return image_.bits(d.addr, d.shift, d.width);
  return image_.at(d.addr);
}

void SettingsMap::storeRaw(const FieldDef& d, int raw) {
  if (d.store == Store::Bits) {
    // Only the field's bits change; the rest of the byte belongs to others.
    image_.setBits(d.addr, d.shift, d.width, raw);
  } else {
    image_.set(d.addr, raw);
  }
}

void SettingsMap::encode(const FieldDef& d, int value) {
  switch (d.store) {
    case Store::Byte:
      storeRaw(d, value + d.offset);
      break;
    case Store::Coded:
      if (value < 0 || value >= static_cast<int>(d.codes.size()))
        throwSubscript("codes", value, 0, static_cast<long long>(d.codes.size()) - 1);
      storeRaw(d, d.codes[static_cast<size_t>(value)]);
      break;
    case Store::Bits:
      storeRaw(d, d.inverted ? (value ^ 1) : value);
      break;
    case Store::Rule:
      if (!d.rule.encode) throw RunError(kErrInvalidCall, QStringLiteral("%1 has no store rule").arg(d.name));
      d.rule.encode(*this, value);
      break;
    default:
      throw RunError(kErrInvalidCall, QStringLiteral("%1 is not a list or check box").arg(d.name));
  }
}

void SettingsMap::decodeInto(int i, FieldState& s, bool repair) {
  const FieldDef& d = defs_[static_cast<size_t>(i)];
  switch (d.store) {
    case Store::None:
      return;
    case Store::CodeText: {
      // The field's stored bytes go into the code buffer, the rest stays empty.
      auto& buf = chars_.AsciiBuf;
      buf.fill(kEmptyCodePosition);
      int p = 0;
      for (const Span& span : d.spans)
        for (int c = 0; c < span.count; ++c, ++p) {
          if (p >= kCodeBufferSize) throwSubscript("AsciiBuf", p, 0, kCodeBufferSize - 1);
          buf[static_cast<size_t>(p)] = image_.at(span.addr + c);
        }
      s.text = chars_.AsciiToTxt();
      return;
    }
    case Store::InfoText:
      s.text = chars_.decodeInfoLine(image_, d.infoLine);
      return;
    default:
      break;
  }

  int value = -1;
  if (d.store == Store::Rule) {
    value = d.rule.decode ? d.rule.decode(*this, repair) : -1;
  } else {
    int raw = rawValue(d);
    const auto codeAt = [&](int v) {
      return static_cast<int>(std::find(d.codes.begin(), d.codes.end(), v) - d.codes.begin());
    };
    if (repair && d.hasRepair) {
      const Repair& r = d.repair;
      int fixed = -1;
      if (raw < r.min && r.below >= 0) {
        fixed = r.below;
      } else if (raw > r.max && r.above >= 0) {
        fixed = r.above;
      } else if (d.store == Store::Coded && d.match == CodeMatch::Exact && r.other >= 0 &&
                 codeAt(raw) == static_cast<int>(d.codes.size())) {
        fixed = r.other;
      }
      if (fixed >= 0) {
        storeRaw(d, fixed);
        raw = rawValue(d);
      }
    }
    switch (d.store) {
      case Store::Byte:
        value = raw - d.offset;
        break;
      case Store::Coded:
        if (d.match == CodeMatch::Exact) {
          value = codeAt(raw);
          if (value == static_cast<int>(d.codes.size())) value = -1;
        } else {
          // The first code not below the byte; beyond the last code, the last.
          value = static_cast<int>(d.codes.size()) - 1;
          for (size_t k = 0; k < d.codes.size(); ++k)
            if (raw <= d.codes[k]) {
              value = static_cast<int>(k);
              break;
            }
        }
        break;
      case Store::Bits:
        value = d.inverted ? (raw ^ 1) : raw;
        break;
      default:
        break;
    }
  }

  if (d.widget == Widget::Check) {
    s.checked = value != 0;
    return;
  }
  if (value < 0 || value >= s.entries.size()) {
    // The refresh cannot show a value its list does not hold; the table's
    // repairs keep every stored value inside, so this is a table fault.
    if (repair) throwSubscript(qPrintable(d.name), value, 0, s.entries.size() - 1);
    value = -1;
  }
  s.position = value;
}

void SettingsMap::updateEnabled() {
  for (size_t i = 0; i < defs_.size(); ++i) {
    const EnableRule& rule = defs_[i].enabledWhen;
    if (!rule.test) continue;
    const int leader = indexOf(rule.leader);
    if (leader < 0) continue;
    FieldState s = states_[i];
    s.enabled = rule.test(states_[static_cast<size_t>(leader)]);
    assign(static_cast<int>(i), std::move(s));
  }
}

void SettingsMap::InitOpt() {
  refreshing_ = true;
  if (builtLanguage_ != text_.language()) {
    builtEntries_.assign(defs_.size(), QStringList());
    builtLanguage_ = -1;
  }
  guarded(log_, "frmChMem->InitOpt:", [&] {
    for (size_t i = 0; i < defs_.size(); ++i) {
      const FieldDef& d = defs_[i];
      if (d.beforeRefresh) d.beforeRefresh(*this);
      if (d.widget == Widget::Button) continue;
      FieldState s = states_[i];
      if (d.list && !d.fixedList) {
        // Built at the first refresh in a language, shared afterwards.
        if (builtLanguage_ < 0) builtEntries_[i] = d.list(text_);
        s.entries = builtEntries_[i];
      }
      decodeInto(static_cast<int>(i), s, true);
      assign(static_cast<int>(i), std::move(s));
    }
    builtLanguage_ = text_.language();
  });
  refreshing_ = false;
  updateEnabled();
}

void SettingsMap::clearShown() {
  for (size_t i = 0; i < defs_.size(); ++i) {
    FieldState s;
    if (defs_[i].fixedList) s.entries = states_[i].entries;
    FieldState& current = states_[i];
    if (s == current) continue;
    current = std::move(s);
    emit fieldChanged(defs_[i].name, current);
  }
}

void SettingsMap::resync() {
  for (size_t i = 0; i < defs_.size(); ++i) {
    if (defs_[i].widget == Widget::Button) continue;
    FieldState s = states_[i];
    // A field whose bytes lie outside the image keeps what it shows.
    if (silently([&] { decodeInto(static_cast<int>(i), s, false); })) assign(static_cast<int>(i), std::move(s));
  }
  updateEnabled();
}

bool SettingsMap::edit(const QString& name, Widget kind, const std::function<void(int, FieldState&)>& handler) {
  const int i = indexOf(name);
  if (i < 0) return false;
  const FieldDef& d = defs_[static_cast<size_t>(i)];
  if (d.widget != kind) return false;
  // A click that arrives while a handler of the same group runs (for example
  // the one a list raises while it highlights its own entry) does nothing.
  const QString group = d.guardGroup.isEmpty() ? d.name : d.guardGroup;
  if (busy_.contains(group)) return false;
  // A user's edit (not one a handler or the refresh makes on its own) is a
  // step to take back; typing on in one text field stays one step.
  if (history_ && depth_ == 0 && !refreshing_) history_->aboutToChange(d.widget == Widget::Text ? d.name : QString());
  busy_.insert(group);
  ++depth_;
  const QByteArray tag = d.handlerTag().toUtf8();
  const bool ok = guarded(log_, tag.constData(), [&] {
    FieldState s = states_[static_cast<size_t>(i)];
    handler(i, s);
    assign(i, std::move(s));
    for (const Link& l : d.links) l(*this, states_[static_cast<size_t>(i)]);
  });
  --depth_;
  busy_.remove(group);
  // Once the outermost handler is done every field shows the image again, so
  // views that share a byte (cboSk1Long and listSk1Long, chkTailDel and
  // cboTailDel) agree; the refresh settles this itself at its end.
  if (depth_ == 0 && !refreshing_) resync();
  return ok;
}

bool SettingsMap::setPosition(const QString& name, int position) {
  return edit(name, Widget::List, [&](int i, FieldState& s) {
    const FieldDef& d = defs_[static_cast<size_t>(i)];
    if (position < 0 || position >= s.entries.size()) throwSubscript("list", position, 0, s.entries.size() - 1);
    encode(d, position);
    s.position = position;
  });
}

bool SettingsMap::setChecked(const QString& name, bool checked) {
  return edit(name, Widget::Check, [&](int i, FieldState& s) {
    encode(defs_[static_cast<size_t>(i)], checked ? 1 : 0);
    s.checked = checked;
  });
}

bool SettingsMap::setText(const QString& name, const QString& text) {
  return edit(name, Widget::Text, [&](int i, FieldState& s) {
    const FieldDef& d = defs_[static_cast<size_t>(i)];
    if (d.store == Store::InfoText) {
      chars_.encodeInfoLine(image_, d.infoLine, text);
      s.text = chars_.decodeInfoLine(image_, d.infoLine);  // what the radio will show
      return;
    }
    if (d.store != Store::CodeText) throw RunError(kErrInvalidCall, QStringLiteral("%1 has no text store").arg(d.name));
    // The field takes as many characters as it has positions, then drops
    // what the radio cannot dial.
    const QString filtered = CharTable::DelInvalidChar(text.left(d.maxLength), d.filterKind);
    // Check every position first so that a short image is never half written.
    for (const Span& span : d.spans)
      if (!image_.contains(span.addr) || !image_.contains(span.addr + span.count - 1))
        throwSubscript("image", span.addr + span.count - 1, 0, image_.upperBound());
    chars_.TextToAscii(filtered, log_);
    int p = 0;
    for (const Span& span : d.spans)
      for (int c = 0; c < span.count; ++c, ++p) {
        if (p >= kCodeBufferSize) throwSubscript("AsciiBuf", p, 0, kCodeBufferSize - 1);
        image_.set(span.addr + c, chars_.AsciiBuf[static_cast<size_t>(p)]);
      }
    s.text = filtered;
  });
}

bool SettingsMap::press(const QString& name) {
  return edit(name, Widget::Button, [&](int i, FieldState&) {
    const FieldDef& d = defs_[static_cast<size_t>(i)];
    if (d.action) d.action(*this);
  });
}

void SettingsMap::voxCheck() {
  const auto shown = [&](int n) {
    const FieldState* s = state(voxCmpName(n));
    if (!s || s->position < 0 || s->position >= s->entries.size()) return 0;
    return s->entries[s->position].toInt();  // the lists hold plain numbers
  };
  if (!state(voxCmpName(1)) || !state(voxCmpName(kVoxCmpLevels))) return;
  const int first = shown(1);
  const int last = shown(kVoxCmpLevels);
  if (first < kVoxCheckMinFirst || first > kVoxCmpMax || last > kVoxCmpMax) voxCmpDefault(*this);
}

// ---- the command line ------------------------------------------------------------

QJsonObject SettingsMap::settingsJson() const {
  QJsonObject out;
  for (size_t i = 0; i < defs_.size(); ++i) {
    const FieldDef& d = defs_[i];
    const FieldState& s = states_[i];
    QJsonObject o;
    switch (d.widget) {
      case Widget::List:
        o.insert(QStringLiteral("position"), s.position);
        o.insert(QStringLiteral("text"),
                 s.position >= 0 && s.position < s.entries.size() ? s.entries[s.position] : QString());
        break;
      case Widget::Check:
        o.insert(QStringLiteral("checked"), s.checked);
        break;
      case Widget::Text:
        o.insert(QStringLiteral("text"), s.text);
        break;
      case Widget::Button:
        continue;
    }
    out.insert(d.name, o);
  }
  return out;
}

QString SettingsMap::applyAssignment(const QString& assignment) {
  const qsizetype eq = assignment.indexOf(u'=');
  if (eq <= 0) return QStringLiteral("expected FIELD=VALUE, got \"%1\"").arg(assignment);
  const QString name = assignment.left(eq);
  const QString value = assignment.mid(eq + 1);
  const FieldDef* d = def(name);
  if (!d) return QStringLiteral("unknown settings field \"%1\"").arg(name);
  const FieldState& s = *state(name);
  bool done = false;
  switch (d->widget) {
    case Widget::List: {
      int position = -1;
      // "#" and digits is a position; any other text, "#" alone included, is
      // an entry's text.
      static const QRegularExpression positionForm(QStringLiteral("^#\\d+$"));
      if (positionForm.match(value).hasMatch()) {
        bool ok = false;
        const int n = value.mid(1).toInt(&ok);
        if (!ok || n < 0 || n >= s.entries.size())
          return QStringLiteral("%1 has no position %2 (positions 0 to %3)")
              .arg(name, value.mid(1))
              .arg(s.entries.size() - 1);
        position = n;
      } else {
        position = static_cast<int>(s.entries.indexOf(value));
        if (position < 0) {
          // Entries with trailing blanks are hard to type; accept the trimmed
          // text when it names exactly one entry.
          int found = 0;
          for (qsizetype k = 0; k < s.entries.size(); ++k)
            if (s.entries[k].trimmed() == value.trimmed()) {
              position = static_cast<int>(k);
              ++found;
            }
          if (found != 1) {
            // A short list is named whole, so the user can pick from it.
            if (s.entries.size() <= 20) {
              QStringList shown;
              for (const QString& e : s.entries) shown << QStringLiteral("\"%1\"").arg(e);
              return QStringLiteral("\"%1\" is not an entry of %2; its entries are %3")
                  .arg(value, name, shown.join(QStringLiteral(", ")));
            }
            return QStringLiteral("\"%1\" is not an entry of %2; it has %3 entries: give one of their texts or #0 to #%4")
                .arg(value, name)
                .arg(s.entries.size())
                .arg(s.entries.size() - 1);
          }
        }
      }
      done = setPosition(name, position);
      break;
    }
    case Widget::Check: {
      const QString v = value.trimmed().toLower();
      bool checked = false;
      if (v == QLatin1String("1") || v == QLatin1String("on") || v == QLatin1String("true")) {
        checked = true;
      } else if (v != QLatin1String("0") && v != QLatin1String("off") && v != QLatin1String("false")) {
        return QStringLiteral("%1 takes 1/0, on/off or true/false, not \"%2\"").arg(name, value);
      }
      done = setChecked(name, checked);
      break;
    }
    case Widget::Text:
      done = setText(name, value);
      break;
    case Widget::Button:
      return QStringLiteral("%1 is a button, not a settings field").arg(name);
  }
  if (!done) return QStringLiteral("%1 could not be changed (see the error log)").arg(name);
  return {};
}

}  // namespace zr
