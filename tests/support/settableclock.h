#pragma once

#include "config/clock.h"

// A clock that stands wherever the test puts it.
class SettableClock : public Clock {
public:
    explicit SettableClock(QDateTime t = QDateTime(QDate(2026, 12, 7), QTime(10, 0))) : m_now(std::move(t)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) { m_now = t; }

private:
    QDateTime m_now;
};
