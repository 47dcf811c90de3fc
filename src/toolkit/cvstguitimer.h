#pragma once
// A repeating timer on the user-interface thread. Every running timer sits
// in one queue per process; whatever drives the editor's event loop (a
// window backend, a host's idle call, a test) fires the timers that are due
// with fireDueTimers. Nothing fires on its own, so nothing ever runs on
// another thread.

#include "toolkit/cbaseobject.h"

#include <cstdint>
#include <functional>

namespace VSTGUI {

class CVSTGUITimer : public CBaseObject {
public:
    using CallbackFunc = std::function<void(CVSTGUITimer*)>;

    // Notifies the target with kMsgTimer on every firing.
    CVSTGUITimer(CBaseObject* timerObject, std::uint32_t fireTime = 100, bool doStart = false);
    CVSTGUITimer(CallbackFunc callback, std::uint32_t fireTime = 100, bool doStart = true);
    ~CVSTGUITimer() override;
    CVSTGUITimer(const CVSTGUITimer&) = delete;
    CVSTGUITimer& operator=(const CVSTGUITimer&) = delete;

    // The first firing is one interval after start.
    bool start();
    bool stop();
    bool isRunning() const { return running; }
    bool setFireTime(std::uint32_t newFireTime);
    std::uint32_t getFireTime() const { return fireTime; }

    static constexpr IdStringPtr kMsgTimer = "timer fired";

    // Milliseconds on the clock the queue uses (monotonic).
    static std::uint64_t now();
    // Fires every running timer whose time has come (each at most once per
    // call) and returns the milliseconds until the next one is due, or -1
    // when none runs. Timers may be started, stopped or destroyed by the
    // callbacks they fire.
    static std::int64_t fireDueTimers(std::uint64_t nowMs = now());
    static int runningTimerCount();

private:
    void fire();

    CBaseObject* target = nullptr;
    CallbackFunc callback;
    std::uint32_t fireTime;
    std::uint64_t due = 0;
    bool running = false;
};

} // namespace VSTGUI
