#pragma once

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kelvane::test {

// Answers the modal dialog that the next action opens: once the action's own event
// loop runs, `answer` gets the active modal widget (nullptr when none opened) and must
// close it. Going out of scope cancels an answer that never ran.
class ModalAnswer : public QObject {
 public:
  explicit ModalAnswer(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, this, [answer] { answer(QApplication::activeModalWidget()); });
  }
};

}  // namespace kelvane::test
