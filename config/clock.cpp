#include "config/clock.h"

QDateTime Clock::now() const
{
    return QDateTime::currentDateTime();
}
