#pragma once

#include "platform/Notifier.h"
#include "platform/Tray.h"

namespace fakes {

// Records what would have been shown; `available` false plays a bus without
// a notification service.
class FakeNotifier : public platform::Notifier {
public:
    QList<platform::Notification> sent;
    bool available = true;
    QList<uint> closedIds;

    uint notify(const platform::Notification& n) override
    {
        if (!available) return 0;
        sent << n;
        return uint(sent.size());
    }
    bool supportsActions() const override { return true; }
    void close(uint id) override { closedIds << id; }
    QStringList summaries() const
    {
        QStringList out;
        for (const auto& n : sent)
            out << n.summary;
        return out;
    }
};

// A tray the test says is there or not; the test emits its menu's signals.
class FakeTray : public platform::Tray {
public:
    bool isAvailable = false;
    int shown = 0;
    bool available() const override { return isAvailable; }
    void show(const QString&) override { ++shown; }
};

} // namespace fakes
