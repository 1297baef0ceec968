// Every message box of a program goes through one notifier, so a rule that ends in a message
// can be exercised by a test that reads the text and answers the question.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace desktop {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };
enum class Severity { Information, Warning, Error, Question };

struct Message {
  std::string text;
  // Empty: the box carries the program's own name, as a plain message box does.
  std::string title;
  Buttons buttons = Buttons::Ok;
  Severity severity = Severity::Information;
};

class Notifier {
 public:
  explicit Notifier(std::string programTitle) : programTitle_(std::move(programTitle)) {}
  virtual ~Notifier() = default;

  // Shows the message and returns the user's answer (Ok for a plain message).
  Answer show(Message message) {
    if (message.title.empty()) message.title = programTitle_;
    return present(message);
  }
  void tell(std::string text, std::string title = {}, Severity severity = Severity::Information) {
    show(Message{std::move(text), std::move(title), Buttons::Ok, severity});
  }
  bool confirm(std::string text, std::string title) {
    return show(Message{std::move(text), std::move(title), Buttons::OkCancel,
                        Severity::Question}) == Answer::Ok;
  }
  const std::string& programTitle() const { return programTitle_; }

 protected:
  virtual Answer present(const Message& message) = 0;

 private:
  std::string programTitle_;
};

// Remembers every message and answers from a queue (then with a fixed answer), for tests and
// for runs without a user.
class ScriptedNotifier : public Notifier {
 public:
  explicit ScriptedNotifier(std::string programTitle, Answer fallback = Answer::Ok)
      : Notifier(std::move(programTitle)), fallback_(fallback) {}

  void answerNext(Answer answer) { answers_.push_back(answer); }
  const std::vector<Message>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

 protected:
  Answer present(const Message& message) override {
    shown_.push_back(message);
    if (answers_.empty()) return fallback_;
    Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

 private:
  Answer fallback_;
  std::deque<Answer> answers_;
  std::vector<Message> shown_;
};

}  // namespace desktop
