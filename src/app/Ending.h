#pragma once

#include <functional>

namespace app {

// How the organiser ends, from anywhere (a button's handler, under a message
// box): every event loop is left and main returns, so the program's objects,
// the speech thread among them, end in order. No window's close handling
// runs. Ending before the event loop runs is remembered for main.
class Ending {
public:
    explicit Ending(std::function<void()> beforeLeaving = {})
        : m_beforeLeaving(std::move(beforeLeaving))
    {
    }
    void operator()(int code);
    bool requested() const { return m_requested; }
    int code() const { return m_code; }
    // Runs the event loop unless ending was already asked for; the exit code.
    int runEventLoop() const;

private:
    std::function<void()> m_beforeLeaving;
    bool m_requested = false;
    int m_code = 0;
};

} // namespace app
