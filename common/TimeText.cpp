#include "common/TimeText.h"

namespace {

QString TwoDigits(std::int32_t value)
{
    return value > 9 ? QString::number(value) : QLatin1Char('0') + QString::number(value);
}

} // namespace

QString FormatTime(std::int32_t seconds)
{
    const std::int32_t totalMinutes = seconds / 60;
    const std::int32_t hours = totalMinutes / 60;
    const std::int32_t minutes = totalMinutes - 60 * hours;
    const std::int32_t secs = seconds - 60 * totalMinutes;
    return TwoDigits(hours) + QLatin1Char(':') + TwoDigits(minutes) + QLatin1Char(':') +
           TwoDigits(secs);
}
