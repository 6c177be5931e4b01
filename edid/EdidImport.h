#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The forms in which people keep EDID tables in files.
enum class EdidTableForm {
    Binary,         // the raw bytes, starting with the EDID header
    HexText,        // hexadecimal values, any spacing or case, optional "0x" and commas
    CArray,         // a C initialiser: { 0x00, 0xFF, ... }
    EdidDecodeDump, // edid-decode's text output, as the linuxhw collection keeps it
    HexDump,        // the output of xxd or hexdump -C: offsets, values, characters
};

// How long the imported table is to be.
enum class EdidTableSize {
    // The base block and the extensions its byte 126 declares, as far as
    // the file holds them; exactly 256 values are taken whole, whatever the
    // header and byte 126 say, since that is how the unit holds a table.
    AsDeclared,
    TwoBlocks, // exactly 256 bytes, as the unit holds them
};

enum class EdidImportFailure {
    None,
    NoValues,      // nothing in the file reads as a table in any known form
    NotAByte,      // a value holds something other than digits, or exceeds 255
    OddDigitCount, // a run of hexadecimal digits does not split into whole bytes
    NoHeader,      // the values do not start with the EDID header
    Truncated,     // fewer bytes than the blocks byte 126 declares
    DumpGap,       // a hex dump's offsets do not follow on from its values
};

struct ImportedEdid {
    EdidImportFailure failure = EdidImportFailure::None;
    EdidTableForm form = EdidTableForm::Binary;
    std::vector<std::uint8_t> table;
    // Blocks that byte 126 of the table declares, the base block included.
    std::size_t declaredBlocks = 0;
    // TwoBlocks only: a one-block table got a zero block 1, or the blocks
    // after block 1 were left out.
    bool extendedWithZeroBlock = false;
    bool extraBlocksDropped = false;
    // AsDeclared only: byte 126 declares more blocks than the file holds, so
    // the table ends with the last whole block held.
    bool truncated = false;

    bool Found() const { return failure == EdidImportFailure::None; }
};

// Finds the table in the whole content of a file. Only the blocks byte 126
// declares are taken: many dumps repeat their blocks or carry more of them.
// A raw file of exactly 256 bytes is a table of 256 bytes even without the
// EDID header, unless its bytes read as a table in a text form.
ImportedEdid ImportEdidTable(const std::vector<std::uint8_t>& file, EdidTableSize size);

// Short English names, for status messages and the command line.
const char* EdidTableFormName(EdidTableForm form);
const char* EdidImportFailureReason(EdidImportFailure failure);
