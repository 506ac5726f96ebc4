#pragma once
// The radio-wide settings of the channel window as one table of fields and one
// generic engine over it.
//
// Every settings control of `frmChMem` (lists, check boxes, text fields and the
// odd button) is a row `FieldDef`: its name, where it sits, its caption, the
// image bytes or bits it views, how a list position or check state maps to
// those bits, the repair applied to a stored value the radio should not hold,
// when it is enabled, which other fields follow it, and, for the few fields
// with a rule of their own, a small named function. `SettingsMap` keeps the
// state each control shows (`FieldState`), refreshes all of them from the
// image (`InitOpt`) and is the one edit path (`setPosition`, `setChecked`,
// `setText`, `press`) for the windows, the CLI and the write preparation.
//
// The table is assembled from sections (`settingsTable`), one per group of
// pages; adding a field is adding a row to a section. Widget-free: a window
// creates or binds its controls by field name and follows `fieldChanged`.
#include <QObject>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <vector>

#include <QHash>
#include <QSet>

#include "editors/VolumeTable.h"

namespace zr {

class ByteArray;
class CharTable;
class ErrorLog;
class TextTable;
class UndoHistory;
class SettingsMap;
struct Core;

// ---- what a control shows -------------------------------------------------

enum class Widget { List, Check, Text, Button };

struct FieldState {
  QStringList entries;   // lists: the entries, in list order
  int position = -1;     // lists: the chosen entry, -1 none
  bool checked = false;  // check boxes
  QString text;          // text fields
  bool enabled = true;
  QString toolTip;
  bool operator==(const FieldState&) const = default;
};

// ---- list builders --------------------------------------------------------

// Builds a list's entries from the text table, so they follow the language.
using ListBuilder = std::function<QStringList(const TextTable&)>;

// How `numbers` writes k: prefix entry, joiner, value, suffix entry, where
// value = (k * scale + add) / divisor with `decimals` decimals. Entries of -1
// add nothing.
struct NumberFormat {
  int scale = 1;
  int add = 0;
  int divisor = 1;
  int decimals = 0;
  int prefix = -1;
  QString joiner = QString();
  int suffix = -1;
};

// The text-table entries given, in order.
ListBuilder entries(std::initializer_list<int> entryNumbers);
// Entries first..last.
ListBuilder entryRange(int first, int last);
// One entry per k = first..last, see NumberFormat.
ListBuilder numbers(int first, int last, NumberFormat format = {});
// The first list followed by the second.
ListBuilder operator+(ListBuilder a, ListBuilder b);

// ---- storage --------------------------------------------------------------

enum class Store {
  None,      // buttons
  Byte,      // one byte = position + offset
  Coded,     // one byte = codes[position]
  Bits,      // `width` bits from `shift` = position (lists) or the flag (checks)
  CodeText,  // DTMF code text, one ASCII byte per position, 0xFF = empty
  InfoText,  // a 16-character info line in character-table codes
  Rule,      // a field rule of its own (FieldRule)
};

// How a coded byte is turned back into a position.
enum class CodeMatch {
  Exact,    // the position whose code equals the byte
  AtLeast,  // the first position whose code is not below the byte, else the last
};

// A stored value the refresh replaces. Values compare against the raw stored
// value (the byte, or the bits of a bit field); -1 means no replacement.
struct Repair {
  int min = 0;
  int max = 255;
  int below = -1;  // written when the value is below min
  int above = -1;  // written when the value is above max
  int other = -1;  // coded fields: written when no code matches
};

// Part of a code text: `count` positions from `addr`.
struct Span {
  int addr;
  int count;
};

// The field is enabled while the state of `leader` passes `test`; a leader
// missing from the table leaves the field enabled.
struct EnableRule {
  QString leader;
  std::function<bool(const FieldState&)> test;
};
EnableRule whenChecked(const QString& leader);
EnableRule whenPosition(const QString& leader, int position);
EnableRule whenPositionNot(const QString& leader, int position);
EnableRule whenTextLength(const QString& leader, int minChars);

// Runs after a field's own edit, with the field's new state; it drives other
// fields through their own edit path.
using Link = std::function<void(SettingsMap&, const FieldState&)>;
// The target check box takes the same state.
// For code that names a field by text (links, rules): raises the
// index-out-of-range failure, naming the field, when the map has no such
// field, so that a renamed field is logged by the running handler instead
// of being skipped without a word.
void requireField(const SettingsMap& m, const QString& name);
Link followChecked(const QString& target);
// The target list takes the same position (when there is one).
Link samePosition(const QString& target);

// A field with a rule of its own. `decode` gives the shown value (a position,
// or 0/1 for a check box) from the image; with `repair` true (the refresh) it
// may write the field's repair first. `encode` stores a picked value.
struct FieldRule {
  std::function<int(SettingsMap&, bool repair)> decode;
  std::function<void(SettingsMap&, int value)> encode;
};

// ---- one row of the table -------------------------------------------------

struct FieldDef {
  QString name;        // control name; control arrays as name(index), e.g. "cboVoxCmpDat(1)"
  QString frame;       // the frame or tab page holding the control
  Widget widget = Widget::List;
  QString label;       // label control of a list or text field, empty for check boxes
  int caption = -1;    // text-table entry of the caption (label or check box text), -1 none
  QString captionText; // fixed caption text, put before the entry's text

  Store store = Store::None;
  int addr = -1;
  int offset = 0;              // Byte: byte = position + offset
  int shift = 0, width = 8;    // Bits
  bool inverted = false;       // Bits, one bit: a set bit shows unchecked / position 0
  std::vector<int> codes;      // Coded
  CodeMatch match = CodeMatch::Exact;
  bool hasRepair = false;
  Repair repair;
  std::vector<Span> spans;     // CodeText
  int filterKind = 0;          // CodeText: DelInvalidChar kind
  int maxLength = 0;           // Text: characters the field accepts
  int infoLine = 0;            // InfoText: line 1 or 2
  FieldRule rule;              // Rule

  ListBuilder list;
  bool fixedList = false;      // entries fixed at design time: built once, not by the refresh
  EnableRule enabledWhen;
  std::vector<Link> links;
  std::function<QString(int position)> tip;     // tool tip of a list position
  QString guardGroup;          // edits of one group do not nest (default: the field alone)
  std::function<void(SettingsMap&)> beforeRefresh;  // runs just before the refresh of this row
  std::function<void(SettingsMap&)> action;         // buttons

  // The control array's name and index ("cboVoxCmpDat", 1); index -1 for a plain name.
  QString baseName() const;
  int index() const;
  // Procedure tag of the field's change handler, e.g. "frmChMem->cboTot_Click".
  QString handlerTag() const;

  // Row builders, for one-expression rows.
  FieldDef& byte(int address, int addOffset = 0);
  FieldDef& coded(int address, std::vector<int> codeList, CodeMatch how = CodeMatch::Exact);
  FieldDef& bits(int address, int firstBit, int bitCount);
  FieldDef& bit(int address, int bitNumber) { return bits(address, bitNumber, 1); }
  FieldDef& invert() { inverted = true; return *this; }
  FieldDef& codeText(std::vector<Span> parts, int kind);
  FieldDef& info(int line);
  FieldDef& withRule(FieldRule r);
  FieldDef& items(ListBuilder b) { list = std::move(b); return *this; }
  FieldDef& fixedItems(ListBuilder b) { list = std::move(b); fixedList = true; return *this; }
  FieldDef& repairAbove(int max, int value);
  FieldDef& repairBelow(int min, int value);
  FieldDef& repairOther(int value);
  FieldDef& enabled(EnableRule r) { enabledWhen = std::move(r); return *this; }
  FieldDef& link(Link l) { links.push_back(std::move(l)); return *this; }
  FieldDef& toolTip(std::function<QString(int)> f) { tip = std::move(f); return *this; }
  FieldDef& guard(QString group) { guardGroup = std::move(group); return *this; }
  FieldDef& prefix(QString text) { captionText = std::move(text); return *this; }
  FieldDef& onRefresh(std::function<void(SettingsMap&)> f) { beforeRefresh = std::move(f); return *this; }
};

FieldDef listField(const QString& name, const QString& frame, const QString& label, int caption);
FieldDef checkField(const QString& name, const QString& frame, int caption);
FieldDef textField(const QString& name, const QString& frame, const QString& label, int caption);
FieldDef buttonField(const QString& name, const QString& frame, int caption,
                     std::function<void(SettingsMap&)> action);

// A frame (or loose area) of the settings pages: for the window's layout and captions.
struct FrameDef {
  QString name;
  QString parent;     // a tab set ("sstabSetMode", "sstabMoreFunc") or an enclosing frame
  int tab;            // tab of the tab set; -1 inside a frame
  int caption;        // text-table entry, -1 none
  QString captionText;
};

// ---- the sections of the table --------------------------------------------
// Refresh order: general options, alarm and broadcast radio, battery, lights
// and tones, side keys, VOX, scan, DTMF, two-tone, info lines, radio ID. The
// order does not change the result: a refresh writes only repairs, and fields
// that share a byte decode it the same way whichever runs first.

// The visible page "Optional Features" and the info line of "Embedded Msg".
std::vector<FieldDef> optionalFeatureFields();
// Further-function fields that the optional features drive (alarm type, tail
// elimination with its two tail-tone boxes, monitor end tone).
std::vector<FieldDef> linkedFurtherFields();
// Side keys, VOX extras, scan and battery.
std::vector<FieldDef> keyVoxScanBatteryFields();
// The other further functions: pre-alert, emergency channel, broadcast radio,
// volume level and tail tone volume (stored through the volume ladder),
// lights and tones, channel number field, radio ID, second info line.
std::vector<FieldDef> furtherFunctionFields(const VoiceSeq& voiceSeqTable);
// DTMF encoder, decoder, stun, autodial list, and the PTT ID pause fields.
std::vector<FieldDef> dtmfFields();
// The two-tone timing fields; their refresh also repairs the two-tone table.
std::vector<FieldDef> twoToneFields();
// The whole table, sections concatenated in refresh order.
std::vector<FieldDef> settingsTable();
// Frames of the settings pages.
std::vector<FrameDef> settingsFrames();

// ---- rules of single fields (SettingsRules.cpp) ----------------------------

constexpr int kSk1LongAddr = 0x0361;
constexpr int kAlarmFlagsAddr = 0x0367;   // bit 1: alarm type local and distance
constexpr int kTailDelAddr = 0x036B;
constexpr int kVoxCmpBase = 0x0193;       // level n at kVoxCmpBase + n
constexpr int kVoxCmpLevels = 10;
constexpr int kVoxCmpValidAddr = 0x019E;
constexpr int kVoxCmpValid = 0x5A;
constexpr int kVoxCmpMax = 160;           // the refresh limit
constexpr int kVoxCmpListMax = 180;       // what the lists offer
constexpr int kVoxCheckMinFirst = 20;     // the check after a load: level 1 at least this
constexpr int kTailDelFrequency = 3;      // "4--Freqency", byte 0x08
constexpr int kTailDelOff = 7;            // "8--Off", byte 0x00

// "cboVoxCmpDat(n)".
QString voxCmpName(int n);
// The default VOX comparison values of levels 1..10.
const std::vector<int>& voxCmpDefaults();
// Tool tip of a VOX comparison position: the voltage in millivolts ("1941mv").
QString voxCmpTip(int position);
// Position of the tail elimination list for its byte: the lowest set bit of
// bits 0-6; none set: 4 with bit 7 set, else 7 (off).
int tailDelPosition(int byte);
// Byte of a tail elimination position: one bit per mode, 0x00 for off.
int tailDelByte(int position);

FieldRule sk1LongRule();         // `cboSk1Long`: shortcut list on 0x0361 and the alarm type
Link sk1LongAlarmLink();         // `cboSk1Long` sets the alarm type of its two alarm entries
FieldRule tailDelRule();         // `cboTailDel`
FieldRule tailDelCheckRule();    // `chkTailDel`, a two-state view of `cboTailDel`
void voxCmpRefresh(SettingsMap& map);    // marker check before the ten VOX lists refresh
void voxCmpDefault(SettingsMap& map);    // `cmdVoxCmpDefault`

// The service code that shows and hides the further settings pages; the
// entered text is compared exactly after upper-casing.
bool isServiceCode(const QString& enteredCode);

// ---- the engine -----------------------------------------------------------

class SettingsMap : public QObject {
  Q_OBJECT

 public:

  // Row names must be unique; a repeated name raises the invalid-call failure.
  SettingsMap(ByteArray& image, const TextTable& text, CharTable& chars, ErrorLog& log,
              std::vector<FieldDef> table = settingsTable());
  explicit SettingsMap(Core& core);

  // Refreshes every field from the image in table order: rebuilds the lists,
  // writes the repairs, shows the values, then settles the enabled states.
  // A failure is logged as "frmChMem->InitOpt:" and ends the refresh.
  void InitOpt();
  // Shows the image again without writing anything (no repairs): for use
  // after something else changed the image, e.g. the hex view.
  void resync();
  // Every field shows nothing again, as when the map was built: no position,
  // unchecked, no text, enabled, no tool tip; lists fixed at design time keep
  // their entries. For a start-up over editors that ran one before.
  void clearShown();
  // The VOX check of the refresh after a load: restores the VOX comparison
  // defaults when the shown level 1 is below 20 or above 160, or level 10
  // above 160. Failures propagate to the caller.
  void voxCheck();

  // The edit path: the field's change handler. Writes the image at once, runs
  // the links, then shows every field as the image now says. Returns false
  // (nothing changed) for an unknown field, a field of another kind, or while
  // an edit of the same guard group is running; an out-of-list position is
  // logged under the handler's tag with code 9. The handler always runs, also
  // when the value is the one already shown.
  bool setPosition(const QString& name, int position);
  bool setChecked(const QString& name, bool checked);
  // Text fields: the text is cut to the field's length and filtered as typing
  // it would be, then stored; the field shows what was stored.
  bool setText(const QString& name, const QString& text);
  // Buttons.
  bool press(const QString& name);

  const std::vector<FieldDef>& fields() const { return defs_; }
  const FieldDef* def(const QString& name) const;
  const FieldState* state(const QString& name) const;
  // Caption text of a field in the current language.
  QString caption(const FieldDef& d) const;


  // The "settings" object of `zr417-cli show --json`: per field
  // {"position", "text"} for lists, {"checked"} for check boxes, {"text"} for
  // text fields.
  QJsonObject settingsJson() const;
  // `zr417-cli set`'s FIELD=VALUE through the field's edit path. Returns an
  // empty text on success, otherwise what is wrong (nothing is changed).
  QString applyAssignment(const QString& assignment);

  // For field rules.
  ByteArray& image() { return image_; }
  const ByteArray& image() const { return image_; }
  const TextTable& text() const { return text_; }
  CharTable& chars() { return chars_; }
  ErrorLog& log() { return log_; }
  bool refreshing() const { return refreshing_; }


 signals:
  // Every change of a field's state (also during the refresh).
  void fieldChanged(const QString& name, const zr::FieldState& state);

 private:
  int indexOf(const QString& name) const;
  void assign(int i, FieldState s);
  void decodeInto(int i, FieldState& s, bool repair);
  int rawValue(const FieldDef& d) const;
  void storeRaw(const FieldDef& d, int raw);
  void encode(const FieldDef& d, int value);
  bool edit(const QString& name, Widget kind, const std::function<void(int, FieldState&)>& handler);
  void updateEnabled();

  ByteArray& image_;
  const TextTable& text_;
  CharTable& chars_;
  ErrorLog& log_;
  std::vector<FieldDef> defs_;
  std::vector<FieldState> states_;
  QHash<QString, int> index_;
  QSet<QString> busy_;
  int depth_ = 0;
  bool refreshing_ = false;
  UndoHistory* history_ = nullptr;  // set when built over a Core
  // The lists' entries as built for `builtLanguage_`: every list builder
  // depends on the text table alone, so a refresh in the same language reuses
  // them (thousands of formatted numbers) instead of building them again.
  std::vector<QStringList> builtEntries_;
  int builtLanguage_ = -1;
};

}  // namespace zr
