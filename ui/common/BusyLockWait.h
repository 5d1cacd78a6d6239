#pragma once

#include "profiles/StoreLock.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>

namespace RDP_basUI {

// How a window waits for the store's lock while another copy of the program saves: the
// windows keep painting, the busy cursor shows, and clicks and keys are dropped (not
// delivered afterwards); after `askAfter`, and every as long again, the user chooses between
// waiting longer and giving up, which leaves the store as it was and the edits in the window.
// One object serves one save.
class BusyLockWait final : public QObject, public rdp::store::LockWait {
public:
    explicit BusyLockWait(QWidget* owner,
                          std::chrono::milliseconds askAfter = std::chrono::seconds(3));
    ~BusyLockWait() override;
    BusyLockWait(const BusyLockWait&) = delete;
    BusyLockWait& operator=(const BusyLockWait&) = delete;

    rdp::store::WaitChoice Pause(std::chrono::milliseconds waited) override;

    // The question after `waited`.
    static QString QuestionText(std::chrono::milliseconds waited);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetBusy(bool busy);

    QPointer<QWidget> owner_;
    std::chrono::milliseconds askAfter_;
    std::chrono::milliseconds nextAsk_;
    bool busy_ = false;
};

} // namespace RDP_basUI
