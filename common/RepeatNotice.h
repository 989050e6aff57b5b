// A refusal that comes in bursts (a companion handing over button after
// button to a full toolbar, a big drop) is told once: not again while its
// box is up, which serves the next messages of the burst from its own loop,
// nor within a moment of the refusal before.
#pragma once

#include <windows.h>

class CRepeatNotice
{
public:
    static constexpr DWORD kQuiet = 1000;

    // Calls show when this refusal is to be told; returns whether it was.
    template <class Show>
    bool Refused(Show show)
    {
        const DWORD now = GetTickCount();
        const bool tell = !m_showing && (!m_seen || now - m_last >= kQuiet);
        m_seen = true;
        m_last = now;
        if (!tell)
            return false;
        m_showing = true;
        show();
        m_showing = false;
        // The quiet moment runs from the box's closing: the refusals queued
        // behind it arrive just after.
        m_last = GetTickCount();
        return true;
    }

private:
    bool m_showing = false;
    bool m_seen = false;
    DWORD m_last = 0;
};
