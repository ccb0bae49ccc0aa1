#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Runs the slow end of a libVLC player off the user-interface thread: stopping a player
// joins its input, decoder and output threads (tens of milliseconds, more at exit).
// Jobs run one after another in the order given; the destructor finishes them all.
class PlayerReaper {
public:
    PlayerReaper();
    ~PlayerReaper();
    PlayerReaper(const PlayerReaper&) = delete;
    PlayerReaper& operator=(const PlayerReaper&) = delete;

    void post(std::function<void()> job);
    // Blocks until every job posted so far has run.
    void drain();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool quit_ = false;
    std::thread thread_;
};
