#pragma once

#include "common/Platform.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

namespace rdp::test {

struct RecordedMessage {
    QString text;
    int style = 0;
    QString title;
    QObject* owner = nullptr;
};

// A platform for tests: folders and screen set by the test, every message recorded and
// answered from a script, beeps counted, and the end of the program recorded (it returns).
// Installs itself on construction and restores the previous platform on destruction.
class FakePlatform final : public Platform {
public:
    FakePlatform();
    ~FakePlatform() override;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    QString ProgramFolder() const override { return programFolder; }
    QString SystemFolder() const override { return systemFolder; }
    int MessageBox(const QString& text, int style, const QString& title, QObject* owner) override;
    void Beep() override { ++beeps; }
    void EndProgram() override { ++endCalls; }
    ScreenMetrics Screen() const override { return screen; }

    // Queues the answer of the next message box; with none queued the box is answered
    // with OK (styles with OK) or No (Yes/No styles).
    void answerNext(int result) { answers.push_back(result); }

    QString programFolder;
    QString systemFolder;
    ScreenMetrics screen{1920 * 15.0, 1080 * 15.0, 15, 15};
    QList<RecordedMessage> messages;
    std::deque<int> answers;
    // Runs while a message box is "open" (before it is answered), e.g. to post events.
    std::function<void(const RecordedMessage&)> onMessage;
    int beeps = 0;
    int endCalls = 0;

private:
    Platform* previous_ = nullptr;
};

} // namespace rdp::test
