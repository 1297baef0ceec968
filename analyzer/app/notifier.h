// Every message box of the analyzer goes through one notifier, so a rule that ends in a
// message can be exercised by a test that reads the text and answers the question.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace solvane {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };
enum class Severity { Information, Warning, Error, Question };

// The title a plain message box carries when the code gives none: the program's name.
inline constexpr const char* kDefaultTitle = "Solvane";

struct Message {
  std::string text;
  std::string title = kDefaultTitle;
  Buttons buttons = Buttons::Ok;
  Severity severity = Severity::Information;
};

class Notifier {
 public:
  virtual ~Notifier() = default;
  // Shows the message and returns the user's answer (Ok for a plain message).
  virtual Answer show(const Message& message) = 0;

  void tell(std::string text, std::string title = kDefaultTitle,
            Severity severity = Severity::Information) {
    show(Message{std::move(text), std::move(title), Buttons::Ok, severity});
  }
  bool confirm(std::string text, std::string title) {
    return show(Message{std::move(text), std::move(title), Buttons::OkCancel,
                        Severity::Question}) == Answer::Ok;
  }
};

// Remembers every message and answers from a queue (then with a fixed answer), for tests and
// for runs without a user.
class ScriptedNotifier : public Notifier {
 public:
  explicit ScriptedNotifier(Answer fallback = Answer::Ok) : fallback_(fallback) {}

  Answer show(const Message& message) override {
    shown_.push_back(message);
    if (answers_.empty()) return fallback_;
    Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  void answerNext(Answer answer) { answers_.push_back(answer); }
  const std::vector<Message>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

 private:
  Answer fallback_;
  std::deque<Answer> answers_;
  std::vector<Message> shown_;
};

}  // namespace solvane
