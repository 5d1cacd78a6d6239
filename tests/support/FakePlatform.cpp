#include "tests/support/FakePlatform.h"

namespace rdp::test {

namespace {
Platform* gInstalled = nullptr;
} // namespace

FakePlatform::FakePlatform() : previous_(gInstalled) {
    gInstalled = this;
    setPlatform(this);
}

FakePlatform::~FakePlatform() {
    gInstalled = previous_;
    setPlatform(previous_);
}

int FakePlatform::MessageBox(const QString& text, int style, const QString& title, QObject* owner) {
    messages.append(RecordedMessage{text, style, title, owner});
    if (onMessage) {
        onMessage(messages.back());
    }
    if (!answers.empty()) {
        const int result = answers.front();
        answers.pop_front();
        return result;
    }
    return (style & 0x0F) == 4 ? MsgResult::No : MsgResult::Ok;
}

} // namespace rdp::test
