// Runs a step of a test while a modal loop (a dialog's or a property sheet's)
// owns the thread; the step must end that loop.
#pragma once

#include <windows.h>

#include <functional>

class DuringModalLoop
{
public:
    explicit DuringModalLoop(std::function<void()> step) : m_step(std::move(step))
    {
        Current() = this;
        m_timer = SetTimer(nullptr, 0, 50, Tick);
    }
    ~DuringModalLoop()
    {
        KillTimer(nullptr, m_timer);
        Current() = nullptr;
    }
    DuringModalLoop(const DuringModalLoop&) = delete;
    DuringModalLoop& operator=(const DuringModalLoop&) = delete;

    bool Ran() const { return m_ran; }

private:
    static DuringModalLoop*& Current()
    {
        static DuringModalLoop* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        DuringModalLoop* self = Current();
        if (!self || self->m_ran)
            return;
        self->m_ran = true;
        self->m_step();
    }

    std::function<void()> m_step;
    UINT_PTR m_timer = 0;
    bool m_ran = false;
};
