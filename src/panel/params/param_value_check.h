#pragma once

#include <QJsonValue>
#include <QSet>
#include <QString>

#include <optional>

// The one check of a value sent to a camera key from outside the panel (the control
// API, the command-line tool, an imported profile): an integer the key's control can
// send. Gives the value, or the reason it is refused in `error`.
class ParamValueCheck {
public:
    // `values` is every value the control can send; empty: the control takes none now.
    static std::optional<int> check(const QString &key, const QSet<int> &values, const QJsonValue &value,
                                    QString *error);
    // A JSON number with an integral value in the int range.
    static std::optional<int> integral(const QJsonValue &value);
    // "value 101 out of range for Luminance (0…100, 101 values)".
    static QString outOfRange(const QString &key, const QSet<int> &values, qint64 value);
};
