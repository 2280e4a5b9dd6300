#pragma once

#include <QtGlobal>

// The program's one pseudo-random generator, shared by every timer that paces sends.
// It starts from 0 and is never seeded from the clock, so every run paces the same way.
class Rng {
public:
    // A whole number from 0 to n - 1.
    int draw(int n)
    {
        m_seed = m_seed * 134775813u + 1u;
        return int((quint64(quint32(n)) * m_seed) >> 32);
    }
    // The pause before the next send: 800 to 1199 ms.
    int pauseMs() { return 800 + draw(400); }

    quint32 seed() const { return m_seed; }

private:
    quint32 m_seed = 0;
};
