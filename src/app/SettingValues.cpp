#include "SettingValues.h"

#include "graphics/Rounding.h"

#include <QRegularExpression>

std::optional<bool> settingBool(const QString& value)
{
    const QString text = value.trimmed();
    if (text.compare(u"True", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (text.compare(u"False", Qt::CaseInsensitive) == 0) {
        return false;
    }
    if (text.isEmpty()) {
        return std::nullopt; // an absent key: no need to compile the pattern for it
    }
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$)"),
        QRegularExpression::DontCaptureOption);
    if (!number.match(text).hasMatch()) {
        return std::nullopt;
    }
    return text.toDouble() != 0.0;
}

double settingNumber(const QString& value)
{
    return leadingNumber(value);
}

int32_t settingInteger(const QString& value)
{
    return roundHalfEven(leadingNumber(value));
}
