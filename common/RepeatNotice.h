// A refusal that comes in bursts (a companion handing over button after
// button to a full toolbar, a big drop) is told once: not again while its
// box is up, which serves the next messages of the burst from its own loop,
// nor while the refusals keep coming less than kQuiet apart.  A companion
// that waits for each answer takes a clipboard round trip a button, most of
// a second on a loaded machine, so the burst is measured by the gaps between
// its refusals, told or not, and a gap of a few seconds still belongs to it.
// Something taken in between ends the burst: the next refusal is news.
#pragma once

#include <windows.h>

class CRepeatNotice
{
public:
    static constexpr DWORD kQuiet = 5000;

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
        // The box may have stood for longer than the quiet moment: the
        // refusals queued behind it belong to the same burst.
        m_last = GetTickCount();
        return true;
    }

    void Taken() { m_seen = false; }

private:
    bool m_showing = false;
    bool m_seen = false;
    DWORD m_last = 0;
};
