#pragma once

#include "edid/EdidDecode.h"
#include "edid/EdidEdit.h"

#include <QString>

// The fields of the details window that are edited in place: each has a
// value in the form its edit takes, and the edit that writes a new one.
enum class FieldEdit {
    None,
    Manufacturer,
    ProductCode,
    SerialNumber,
    Week,
    Year,
    DisplayName,
    SerialString,
    PreferredTiming,
    PhysicalAddress, // of the HDMI vendor-specific data block
    MaxTmdsClock,
};

// The edit of a field named as the decoder names it, if any.
FieldEdit EditOfDecodedField(const QString& name);

// What the field holds, as its edit takes it.
QString ValueOfField(FieldEdit field, const DecodedEdid& decoded);

// Writes the value text into the field; a text that is not a value of the
// field is refused like a value the field cannot hold.
EdidEditOutcome EditField(FieldEdit field, EdidTable& table, const QString& text);
