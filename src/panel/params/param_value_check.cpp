#include "param_value_check.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<int> ParamValueCheck::integral(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (std::floor(d) != d || d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(d);
}

QString ParamValueCheck::outOfRange(const QString &key, const QSet<int> &values, qint64 value)
{
    if (values.isEmpty())
        return QStringLiteral("%1 takes no value now").arg(key);
    const QList<int> allowed(values.cbegin(), values.cend());
    const auto [low, high] = std::minmax_element(allowed.cbegin(), allowed.cend());
    return QStringLiteral("value %1 out of range for %2 (%3…%4, %5 values)")
        .arg(value)
        .arg(key)
        .arg(*low)
        .arg(*high)
        .arg(allowed.size());
}

std::optional<int> ParamValueCheck::check(const QString &key, const QSet<int> &values, const QJsonValue &value,
                                          QString *error)
{
    const std::optional<int> number = integral(value);
    if (!number) {
        *error = QStringLiteral("value must be an integer");
        return std::nullopt;
    }
    if (!values.contains(*number)) {
        *error = outOfRange(key, values, *number);
        return std::nullopt;
    }
    return number;
}
