#include "app/TableFieldEdits.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// The CTA-861 block that the HDMI edits change: the first of revision 3 or
// later.
const CtaExtension* EditedCtaBlock(const DecodedEdid& decoded) {
    for (const EdidExtension& extension : decoded.extensions) {
        if (extension.cta && extension.cta->revision >= 3) {
            return &*extension.cta;
        }
    }
    return nullptr;
}

EdidEditOutcome EditPreferredTiming(EdidTable& table, const QString& text) {
    const QRegularExpressionMatch mode =
        QRegularExpression("^\\s*(\\d{1,5})x(\\d{1,5})@(\\d{1,4}(\\.\\d+)?)\\s*$").match(text);
    if (!mode.hasMatch() || mode.captured(1).toUInt() > 0xFFFF ||
        mode.captured(2).toUInt() > 0xFFFF) {
        return EdidEditOutcome::NoTiming;
    }
    return SetPreferredTiming(table, static_cast<std::uint16_t>(mode.captured(1).toUInt()),
                              static_cast<std::uint16_t>(mode.captured(2).toUInt()),
                              mode.captured(3).toDouble());
}

EdidEditOutcome EditPhysicalAddress(EdidTable& table, const QString& text) {
    const QRegularExpressionMatch match =
        QRegularExpression("^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{1,2})\\.(\\d{1,2})\\s*$")
            .match(text);
    if (!match.hasMatch()) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    std::array<std::uint8_t, 4> address{};
    for (std::size_t i = 0; i < address.size(); ++i) {
        address[i] = static_cast<std::uint8_t>(match.captured(static_cast<int>(i) + 1).toUInt());
    }
    return SetPhysicalAddress(table, address);
}

// A number, decimal or 0x hexadecimal; MHz may follow a clock.
std::optional<std::uint64_t> Number(const QString& text, bool megahertz = false) {
    QString digits = text.trimmed();
    if (megahertz && digits.endsWith(QStringLiteral("MHz"), Qt::CaseInsensitive)) {
        digits.chop(3);
    }
    bool ok = false;
    const std::uint64_t value = digits.trimmed().toULongLong(&ok, 0);
    return ok ? std::optional<std::uint64_t>(value) : std::nullopt;
}

// The fields below take unsigned numbers; one past what the edit takes is
// clamped to a value the edit refuses in turn.
unsigned Clamped(std::uint64_t value) {
    return static_cast<unsigned>(std::min<std::uint64_t>(value, 0xFFFFFFFFu));
}

} // namespace

FieldEdit EditOfDecodedField(const QString& name) {
    if (name == "manufacturer ID") {
        return FieldEdit::Manufacturer;
    }
    if (name == "product code") {
        return FieldEdit::ProductCode;
    }
    if (name == "serial number") {
        return FieldEdit::SerialNumber;
    }
    if (name == "week of manufacture") {
        return FieldEdit::Week;
    }
    if (name == "year of manufacture") {
        return FieldEdit::Year;
    }
    if (name.endsWith(": product name")) {
        return FieldEdit::DisplayName;
    }
    if (name.endsWith(": product serial")) {
        return FieldEdit::SerialString;
    }
    if (name == "detailed timing 1") {
        return FieldEdit::PreferredTiming;
    }
    return FieldEdit::None;
}

QString ValueOfField(FieldEdit field, const DecodedEdid& decoded) {
    const EdidBaseBlock& base = decoded.base;
    const CtaExtension* cta = EditedCtaBlock(decoded);
    switch (field) {
    case FieldEdit::None:
        return QString();
    case FieldEdit::Manufacturer:
        return QString::fromStdString(base.manufacturerId);
    case FieldEdit::ProductCode:
        return QString::number(base.productCode);
    case FieldEdit::SerialNumber:
        return QString::number(base.serialNumber);
    case FieldEdit::Week:
        return QString::number(base.week);
    case FieldEdit::Year:
        return QString::number(base.year);
    case FieldEdit::DisplayName:
        return QString::fromStdString(base.productName);
    case FieldEdit::SerialString:
        return QString::fromStdString(base.serialText);
    case FieldEdit::PreferredTiming: {
        if (base.detailedTimings.empty()) {
            return QString();
        }
        const DetailedTiming& t = base.detailedTimings.front();
        return QString("%1x%2@%3").arg(t.hActive).arg(t.vActive).arg(t.refreshHz, 0, 'f', 2);
    }
    case FieldEdit::PhysicalAddress:
        if (cta == nullptr || !cta->hdmi) {
            return QString();
        }
        return QString("%1.%2.%3.%4")
            .arg(cta->hdmi->physicalAddress[0])
            .arg(cta->hdmi->physicalAddress[1])
            .arg(cta->hdmi->physicalAddress[2])
            .arg(cta->hdmi->physicalAddress[3]);
    case FieldEdit::MaxTmdsClock:
        if (cta == nullptr || !cta->hdmi || !cta->hdmi->maxTmdsClockMHz) {
            return QString();
        }
        return QString("%1 MHz").arg(*cta->hdmi->maxTmdsClockMHz);
    }
    return QString();
}

EdidEditOutcome EditField(FieldEdit field, EdidTable& table, const QString& text) {
    switch (field) {
    case FieldEdit::None:
        return EdidEditOutcome::ValueOutOfRange;
    case FieldEdit::Manufacturer:
        return SetManufacturer(table, text.trimmed().toUpper().toStdString());
    case FieldEdit::DisplayName:
        return SetDisplayName(table, text.toStdString());
    case FieldEdit::SerialString:
        return SetSerialString(table, text.toStdString());
    case FieldEdit::PreferredTiming:
        return EditPreferredTiming(table, text);
    case FieldEdit::PhysicalAddress:
        return EditPhysicalAddress(table, text);
    default:
        break;
    }
    const std::optional<std::uint64_t> number = Number(text, field == FieldEdit::MaxTmdsClock);
    if (!number) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    switch (field) {
    case FieldEdit::ProductCode:
        return *number > 0xFFFF ? EdidEditOutcome::ValueOutOfRange
                                : SetProductCode(table, static_cast<std::uint32_t>(*number));
    case FieldEdit::SerialNumber:
        return SetSerialNumber(table, *number);
    case FieldEdit::Week:
        return SetWeek(table, Clamped(*number));
    case FieldEdit::Year:
        return SetYear(table, Clamped(*number));
    case FieldEdit::MaxTmdsClock:
        return SetMaxTmdsClock(table, Clamped(*number));
    default:
        return EdidEditOutcome::ValueOutOfRange;
    }
}
