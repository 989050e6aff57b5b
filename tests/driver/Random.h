// A small deterministic generator for the damaged-file corpora, so that a
// failing case can be found again from its seed and index.
#pragma once

#include <cstdint>

class Random
{
public:
    explicit Random(uint32_t seed) : m_state(seed ? seed : 1) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    uint32_t Below(uint32_t limit) { return limit ? Next() % limit : 0; }

private:
    uint32_t m_state;
};
