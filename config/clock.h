#pragma once

#include <QDateTime>

// Local wall-clock time. The schedule reads the present moment only through this, so
// tests can stand at any date and minute.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;
};
