#pragma once

#include "platform/Notifier.h"

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

} // namespace fakes
