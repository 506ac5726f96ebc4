#pragma once
// Questions, messages and file choices the core asks of the user. The desktop
// program answers with real dialogs; the CLI and tests answer from a script.
// (Everything else the core asks of a front end: base/FrontEnd.h.)
#include <QString>
#include <QStringList>
#include <deque>

namespace zr {

class UserPrompts {
 public:
  enum class Icon { Information, Question, Error, Exclamation };
  // The answers to "save the changed data first?".
  enum class SaveChoice { Save, Discard, Cancel };
  virtual ~UserPrompts() = default;

  // A Yes/No question with a question icon; true for Yes.
  virtual bool askYesNo(const QString& title, const QString& text) = 0;
  // A Save / Discard / Cancel question. Without a user to ask, nothing is
  // thrown away: Cancel.
  virtual SaveChoice askSaveDiscardCancel(const QString& title, const QString& text) {
    (void)title;
    (void)text;
    return SaveChoice::Cancel;
  }
  // A Yes/No question whose default button is No, with a "Do not ask again"
  // tick that is reported in `dontAskAgain`. Without a user to ask: No.
  virtual bool askYesNoDontAskAgain(const QString& /*title*/, const QString& /*text*/, bool* dontAskAgain) {
    if (dontAskAgain) *dontAskAgain = false;
    return false;
  }
  // A message box with one OK button.
  virtual void message(const QString& title, const QString& text, Icon icon) = 0;
  // File dialogs; an empty answer means cancelled.
  virtual QString openFileName(const QString& filter, const QString& initialPath) = 0;
  virtual QString saveFileName(const QString& filter, const QString& initialPath, const QString& defaultSuffix) = 0;
  // Give the main window the focus (a no-op without windows).
  virtual void focusMainWindow() {}
  // A question with the given buttons, the last one being Cancel; the index of
  // the button chosen. Without windows the answer is Cancel.
  virtual int askChoice(const QString& /*title*/, const QString& /*text*/, const QStringList& buttons) {
    return static_cast<int>(buttons.size()) - 1;
  }
};

// Answers from queues filled beforehand; records every question and message.
// With an empty queue a question is answered `defaultAnswer` and a dialog is
// cancelled.
class ScriptedPrompts : public UserPrompts {
 public:
  bool defaultAnswer = false;
  std::deque<bool> answers;
  // Answers to Save / Discard / Cancel; `defaultSaveChoice` once the queue is empty.
  std::deque<SaveChoice> saveChoices;
  SaveChoice defaultSaveChoice = SaveChoice::Cancel;
  std::deque<QString> fileNames;
  std::deque<int> choices;  // answers of askChoice; empty: Cancel
  // The "Do not ask again" ticks of askYesNoDontAskAgain (its Yes/No comes
  // from `answers`); empty: unticked.
  std::deque<bool> dontAskAgainTicks;
  QStringList asked;     // texts of the questions, in order
  QStringList messages;  // texts of the message boxes, in order
  QStringList titles;    // titles of questions and messages, in order

  bool askYesNo(const QString& title, const QString& text) override {
    titles << title;
    asked << text;
    if (answers.empty()) return defaultAnswer;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  bool askYesNoDontAskAgain(const QString& title, const QString& text, bool* dontAskAgain) override {
    const bool yes = askYesNo(title, text);
    const bool tick = !dontAskAgainTicks.empty() && dontAskAgainTicks.front();
    if (!dontAskAgainTicks.empty()) dontAskAgainTicks.pop_front();
    if (dontAskAgain) *dontAskAgain = tick;
    return yes;
  }
  SaveChoice askSaveDiscardCancel(const QString& title, const QString& text) override {
    titles << title;
    asked << text;
    if (saveChoices.empty()) return defaultSaveChoice;
    const SaveChoice c = saveChoices.front();
    saveChoices.pop_front();
    return c;
  }
  void message(const QString& title, const QString& text, Icon) override {
    titles << title;
    messages << text;
  }
  int askChoice(const QString& title, const QString& text, const QStringList& buttons) override {
    titles << title;
    asked << text;
    if (choices.empty()) return static_cast<int>(buttons.size()) - 1;
    const int c = choices.front();
    choices.pop_front();
    return c;
  }
  QString openFileName(const QString&, const QString&) override { return nextFile(); }
  QString saveFileName(const QString&, const QString&, const QString&) override { return nextFile(); }

 private:
  QString nextFile() {
    if (fileNames.empty()) return {};
    QString f = fileNames.front();
    fileNames.pop_front();
    return f;
  }
};

}  // namespace zr
