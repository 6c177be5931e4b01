#pragma once

// The tool's command lines against the simulated unit, run in process and, where
// endToEnd says so, as the built program on the stand-in library. Faults are
// fault-script lines separated by ';', plus four that the in-process rig plays
// itself: "nolibrary" (the bridge library
// does not load; end to end, the library is not on the path), "decoy" (unit 0
// reports the serial string but never answers), "counters R E" (the unit's
// read-error and EDID-reading counters) and "terminal" (standard error is a
// terminal, where a progress line can be redrawn). Output columns are regular
// expressions; requests name request groups (see RequestGroup), or are null
// where the case does not check them.
struct CliCase {
    const char* name;
    const char* arguments;
    const char* faults;
    int status;
    const char* out;
    const char* err;
    const char* requests;
    bool endToEnd;
};

inline constexpr const char* kHexTable = "^((([0-9A-F]{2} ){15}[0-9A-F]{2}\n){16})$";

inline constexpr CliCase kCliCases[] = {
    {"list", "list", "", 0, "^0  2022  TALVO  unit 0\n$", "^$", "", true},
    {"list, units among others", "list", "devices 1234,2022,2022", 0,
     "^0  1234  USB BRIDGE\n1  2022  TALVO  unit 0\n2  2022  TALVO  unit 1\n$", "^$", "", false},
    {"list --json", "list --json", "devices 1234,2022", 0,
     "^\\[\\{\"index\":0,\"product\":\"USB BRIDGE\",\"serial\":\"1234\",\"unit\":null\\},"
     "\\{\"index\":1,\"product\":\"TALVO\",\"serial\":\"2022\",\"unit\":0\\}\\]\n$",
     "^$", "", false},
    {"list, no unit", "list", "devices 1234", 3, "^0  1234  USB BRIDGE\n$", "no TALVO unit", "",
     false},
    {"status", "status", "mode 3", 0, "^mode: custom\nread errors: 0\nEDID readings: 0\n$", "^$",
     "status", true},
    {"status --json", "status --json", "mode 2", 0,
     "^\\{\"edid_readings\":0,\"mode\":\"fixed\",\"read_errors\":0\\}\n$", "^$", "status", true},
    {"status, code of no mode", "status --json", "mode 7;counters 5 7", 0,
     "^\\{\"edid_readings\":7,\"mode\":7,\"read_errors\":5\\}\n$", "^$", "status", false},
    {"status --unit 1", "--unit 1 status", "decoy", 0, "^mode: automix\n", "^$", "status", false},
    {"status, silent unit", "status", "noreply 1", 4, "^$",
     "did not answer the status request: no reply within 1000 ms", "status", true},
    {"status, no unit 1", "status --unit 1", "", 3, "^$", "there is no unit 1: 1 unit is attached",
     "", true},
    {"status, no unit", "status", "devices 1234", 3, "^$", "no TALVO unit is attached", "", true},
    // One line per failure, naming the step and what the bridge library answered.
    {"status, serial string unreadable", "status", "fail string 1", 4, "^$",
     "^talvo-edid: the bridge's strings could not be read: the serial string query of bridge "
     "device 0 failed: the bridge library answered 0x5F\n$",
     "", false},
    {"status, open fails", "status", "fail open 1", 4, "^$",
     "^talvo-edid: opening unit 0 failed at the open: the bridge library answered 0x5F\n$", "",
     false},
    {"status, no library", "status --bridge library", "nolibrary", 3, "^$",
     "cannot load the bridge library libSiUSBXp", "", true},
    {"mode", "mode", "mode 3", 0, "^custom\n$", "^$", "status", true},
    {"mode custom", "mode custom", "", 0, "^$", "^$", "mode 03", true},
    {"mode in capitals", "mode CUSTOM", "", 0, "^$", "^$", "mode 03", false},
    {"mode fixed, second request unanswered", "mode fixed", "noreply 2", 4, "^$",
     "did not confirm the mode change: request 2 of 3: no reply within 1000 ms", "mode 02", true},
    {"mode, unknown name", "mode default", "", 2, "^$", "default", "", false},
    {"read", "read", "", 0, kHexTable, "^$", "read B0", true},
    {"read --bank 2", "read --bank 2", "", 0, kHexTable, "^$", "read B2", true},
    {"read --bank 5", "read --bank 5", "", 2, "^$", "bank", "", false},
    {"read, chunk cut short", "read", "short 5 3", 4, "^$",
     "failed at chunk 5 of 16: the reply came short", nullptr, true},
    {"write", "write {dir}/good.bin", "mode 3", 0, "^$", "written to unit 0, bank 0 .* verified",
     "status, write B0, resets, read B0", true},
    {"write --bank 3 --no-verify", "write {dir}/good.bin --bank 3 --no-verify", "mode 3", 0, "^$",
     "bank 3 \\(0xB4\\), not verified", "status, write B4, resets", false},
    {"write --unit 1", "--unit 1 write {dir}/good.bin -q", "decoy;mode 3", 0, "^$", "^$",
     "status, write B0, resets, read B0", false},
    {"write, not custom", "write {dir}/good.bin", "mode 2", 1, "^$",
     "the unit is in fixed mode; .*--set-custom", "status", true},
    {"write --set-custom", "write {dir}/good.bin --set-custom", "mode 1", 0, "^$", "verified",
     "status, mode 03, status, write B0, resets, read B0", true},
    {"write --set-custom, mode not taken", "write {dir}/good.bin --set-custom", "mode 1;noreply 4",
     4, "^$", "did not confirm the mode change: request 3 of 3", "status, mode 03", false},
    {"write, wrong checksum", "write {dir}/badsum.bin", "mode 3", 1, "^$",
     "wrong checksum; not written", "", true},
    {"write --allow-bad-checksum", "write {dir}/badsum.bin --allow-bad-checksum --no-verify",
     "mode 3", 0, "^$", "not verified", nullptr, false},
    {"write, base block only, in 256 bytes", "write {dir}/base-only.bin -q", "mode 3", 0, "^$",
     "^$", nullptr, false},
    {"write, one-block table", "write {dir}/oneblock.bin", "mode 3", 2, "^$",
     "the table has 128 bytes; the unit takes a table of 256", "", false},
    {"write, no table in the file", "write {dir}/junk.txt", "mode 3", 2, "^$",
     "junk.txt: holds no EDID table", "", false},
    {"write, missing file", "write {dir}/none.bin", "mode 3", 2, "^$", "cannot read .*none.bin", "",
     false},
    {"write, read-back differs", "write {dir}/good.bin", "mode 3;miswrite 0x40;miswrite 0xC0", 5,
     "^$",
     "differs from the one written at 2 offsets:\ntalvo-edid:   offset 0x40: written 0x(..), read "
     "back 0x..\ntalvo-edid:   offset 0xC0: written 0x",
     "status, write B0, resets, read B0", true},
    {"write, refused chunk", "write {dir}/good.bin", "mode 3;errorbyte 6 1", 4, "^$",
     "refused the chunk at offset 0x20; .*write it again", "status, write B0, resets", true},
    {"write, two refused chunks", "write {dir}/good.bin -q", "mode 3;errorbyte 6 1;errorbyte 9 1",
     4, "^$", "refused the chunks at offsets 0x20, 0x38; ", nullptr, false},
    // The backup and the check read the table too; each says what its
    // failure leaves behind.
    {"write, backup read fails", "write {dir}/good.bin --backup {dir}/b.bin -q", "mode 3;noreply 3",
     4, "^$",
     "^talvo-edid: reading the table for the backup failed at chunk 2 of 16: no reply within "
     "1000 ms; nothing was written\n$",
     nullptr, false},
    {"write, read-back fails", "write {dir}/good.bin -q", "mode 3;noreply 37", 4, "^$",
     "^talvo-edid: the table was written, but reading it back to check it failed at chunk 2 of "
     "16: no reply within 1000 ms\n$",
     nullptr, false},
    {"write, unknown mode", "write {dir}/good.bin", "mode 7", 1, "^$",
     "the unit is in an unknown mode \\(code 7\\); ", "status", false},
    {"write, silent unit", "write {dir}/good.bin", "mode 3;noreply 2", 4, "^$",
     "write failed at chunk 1 of 32 \\(offset 0x00\\): no reply within 1000 ms", nullptr, false},
    {"write, fails part-way", "write {dir}/good.bin", "mode 3;fail write 14", 4, "^$",
     "^talvo-edid: the write failed at chunk 13 of 32 \\(offset 0x60\\): the request could not "
     "be sent: the bridge library answered 0x5F; ",
     nullptr, false},
    {"write, reset unanswered", "write {dir}/good.bin", "mode 3;noreply 35", 4, "^$",
     "did not confirm the EDID reset: request 2 of 2", "status, write B0, resets", false},
    {"check", "check {dir}/good.bin {dir}/badsum.bin", "", 1,
     "good.bin: block 0 checksum 0x.. right, block 1 checksum 0x.. right\n.*badsum.bin: block 0 "
     "checksum 0x.. wrong \\(should be 0x..\\), block 1",
     "^$", "", true},
    {"check, unreadable", "check {dir}/junk.txt {dir}/badsum.bin", "", 2, "badsum.bin: block 0",
     "junk.txt", "", false},
    {"diff, same table", "diff {dir}/good.bin {dir}/good.c", "", 0, "^$", "^$", "", false},
    {"diff with the unit", "diff {dir}/good.bin unit --bank 4", "", 1,
     "^0x0F  5A  00  serial number\n0x7F  65  BF  checksum\n$", "^$", "read B6", false},
    {"diff, tables differ", "diff {dir}/good.bin unit", "", 1,
     "^0x0C  B6  B0  serial number\n0x0F  5A  00  serial number\n0x76  36  30  display descriptor "
     "3: "
     "product serial\n0x7F  65  CB  checksum\n$",
     "^$", "read B0", true},
    {"info", "info {dir}/good.dump", "", 0, "^TLV TALVO SIM .*\nsize: 256 bytes\n", "^$", "",
     false},
    {"info unit --json", "info unit --json", "", 0,
     "^\\{\"blocks\":2,\"checksums\":\\[\\{\"computed\":203,\"ok\":true,\"stored\":203\\},\\{"
     "\"computed\":155,\"ok\":true,\"stored\":155\\}\\],\"extensions\":\\[\\{\"audio\":\\[\\{"
     "\"channels\":2,\"format\":\"LPCM\",\"rates_khz\":\\[32.0,44.1,48.0\\]\\}\\],"
     "\"hdmi_physical_address\":null,\"kind\":\"CTA-861\",\"malformed\":false,"
     "\"malformed_reason\":null,\"native_vics\":\\[16\\],\"revision\":"
     "3,\"tag\":2,\"vics\":\\[16,4,3,2\\]\\}\\],\"manufacturer\":\"TLV\",\"manufacturer_name\":"
     "(\"S3 Inc\"|null),\"model_year\":false,\"name\":\"TALVO SIM\",\"preferred_timing\":\\{"
     "\"height\":1080,\"interlaced\":false,\"pixel_clock_khz\":148500,\"refresh_hz\":60.0,"
     "\"width\":1920\\},"
     "\"problems\":\\[\\],\"product_code\":8226,\"serial_number\":176,\"size\":256,\"summary\":"
     "\"TLV TALVO SIM "
     "\\\\u00b7 1920x1080 @ 60.00 Hz \\\\u00b7 CTA-861 rev 3 \\\\u00b7 LPCM "
     "2ch\",\"version\":\"1.3\",\"week\":1,\"year\":"
     "2022\\}\n$",
     "^$", "read B0", true},
    // Text from the table reaches the output escaped, never as raw control
    // bytes or as bytes that are not UTF-8.
    {"info --json, control bytes in the name", "info {dir}/control-name.bin --json", "", 0,
     "^[ -~]*\"name\":\"\\\\u001b\\\\u00ffLVO SIM\".*\"summary\":\"TLV \\\\u001b\\\\u00ffLVO SIM "
     "[ -~]*\n$",
     "^$", "", false},
    {"info, control bytes in the name", "info {dir}/control-name.bin", "", 0,
     "^(?!.*\x1b)TLV \\\\x1B\\\\xFFLVO SIM .*\nname: \\\\x1B\\\\xFFLVO SIM\n", "^$", "", false},
    // Tables as a unit may hold them are read, named and written back.
    {"info, damaged header, three blocks declared", "info {dir}/damaged.bin", "", 0,
     "^no EDID header .* extensions_missing\nsize: 256 bytes\n.*\nproblem: extensions_missing "
     "\\(block 2, offset 0x100\\): truncated: byte 126 declares 3 blocks, the table holds 2\n"
     "problem: header \\(block 0, offset 0x00\\): the header is not 00 FF FF FF FF FF FF 00\n$",
     "damaged.bin: truncated: byte 126 declares 3 blocks, the file holds 2", "", false},
    {"info --json, damaged header, three blocks declared", "info {dir}/damaged.bin --json", "", 0,
     "\"problems\":\\[\\{\"block\":2,\"kind\":\"extensions_missing\",\"offset\":256,\"text\":"
     "\"truncated: byte 126 declares 3 blocks, the table holds 2\"\\},\\{\"block\":0,\"kind\":"
     "\"header\",\"offset\":0,\"text\":\"the header is not 00 FF FF FF FF FF FF 00\"\\}\\],",
     "damaged.bin: truncated", "", false},
    // The structural advice is listed too, the wrong checksums included.
    {"info, block 0 checksum wrong", "info {dir}/badsum.bin", "", 0,
     "\nproblem: checksum \\(block 0, offset 0x7F\\): wrong checksum\n$", "^$", "", false},
    {"info, a block more than declared", "info {dir}/base-only.bin", "", 0,
     "\nproblem: extension_count \\(block 0, offset 0x7E\\): the table holds more blocks than "
     "byte 126 declares\n$",
     "^$", "", false},
    {"check, damaged header", "check {dir}/damaged.bin", "", 0,
     "^.*damaged.bin: block 0 checksum 0x.. right, block 1 checksum 0x.. right\n$", "truncated", "",
     false},
    {"write, damaged header", "write {dir}/damaged.bin -q", "mode 3", 0, "^$", "^$", nullptr,
     false},
    {"info, one block of two declared", "info {dir}/truncated.bin", "", 0,
     "size: 128 bytes\n.*problem: extensions_missing \\(block 1, offset 0x80\\): truncated: byte "
     "126 declares 2 blocks, the table holds 1\n$",
     "truncated", "", false},
    {"diff, tables of different sizes", "diff {dir}/truncated.bin {dir}/good.bin -q", "", 1,
     "^0x80  --  02  [^\n]*\n(0x[89A-F][0-9A-F]  --  [0-9A-F]{2}  [^\n]*\n){127}$", "^$", "",
     false},
    {"info --json, interlaced", "info {dir}/interlaced.bin --json", "", 0,
     "\"preferred_timing\":\\{\"height\":2160,\"interlaced\":true,", "^$", "", false},
    {"info, interlaced", "info {dir}/interlaced.bin", "", 0, "preferred timing: 1920x2160i @", "^$",
     "", false},
    {"info --json, malformed CTA block", "info {dir}/malformed.bin --json", "", 0,
     "\"malformed\":true,\"malformed_reason\":\"the data block at 0x84 runs past the end of the "
     "data block area\".*\"problems\":\\[\\{\"block\":1,\"kind\":\"cta_data_block_length\","
     "\"offset\":132,\"text\":\"the data block at 0x84 runs past the end of the data block "
     "area\"\\}\\],.*\"summary\":\"[^\"]* cta_data_block_length\"",
     "^$", "", false},
    // Standard output is checked: a full disk is a failure, not a success.
    {"read to a full disk", "read", "fullout", 2, "^$", "cannot write standard output", "read B0",
     true},
    {"read --format bin to a full disk", "read --format bin", "fullout", 2, "^$",
     "cannot write standard output", "read B0", true},
    {"convert to a full disk", "convert {dir}/good.bin -", "fullout", 2, "^$",
     "cannot write standard output", "", true},
    {"info to a full disk", "info {dir}/good.bin", "fullout", 2, "^$",
     "cannot write standard output", "", true},
    {"status to a full disk", "status", "fullout;mode 3", 2, "^$", "cannot write standard output",
     "status", true},
    {"list to a full disk", "list", "fullout", 2, "^$", "cannot write standard output", "", true},
    {"--help to a full disk", "--help", "fullout", 2, "^$", "cannot write standard output", "",
     true},
    // "-" reads standard input wherever a table is read.
    {"info from standard input", "info -", "stdin", 0, "^TLV TALVO SIM", "^$", "", true},
    {"write from standard input", "write - -q", "stdin;mode 3", 0, "^$", "^$",
     "status, write B0, resets, read B0", true},
    {"check unit", "check unit", "", 0,
     "^unit: block 0 checksum 0xCB right, block 1 checksum 0x9B right\n$", "^$", "read B0", true},
    {"write --pad, one-block table", "write {dir}/oneblock.bin --pad -q", "mode 3", 0, "^$", "^$",
     nullptr, false},
    // A terminal gets hex text, never raw bytes, unless they are asked for.
    {"read -o - on a terminal", "read -o -", "outterminal", 0, kHexTable, "^$", "read B0", false},
    {"convert to a terminal", "convert {dir}/good.bin -", "outterminal", 0, kHexTable, "^$", "",
     false},
    {"convert --format bin to a terminal", "convert {dir}/good.bin - --format bin", "outterminal",
     0, "^\\x{0}\\x{FFFD}", "^$", "", false},
    {"write --backup onto its own input", "write {dir}/good.bin --backup {dir}/good.bin", "mode 3",
     2, "^$", "is the file to be written; nothing was written", "", false},
    // An interrupt stops a run between chunks and says what it left.
    {"write interrupted", "write {dir}/good.bin", "mode 3;interrupt 10", 130, "^$",
     "interrupted after chunk 9 of 32; the unit's table is partly written: write it again$",
     nullptr, false},
    {"read interrupted", "read", "interrupt 3", 130, "^$",
     "^talvo-edid: interrupted; the table was not read\n$", nullptr, false},
    {"verify interrupted", "write {dir}/good.bin", "mode 3;interrupt 38", 130, "^$",
     "^talvo-edid: interrupted; the table was written, but not verified\n$", nullptr, false},
    // A progress line only where it can be redrawn, taken away again before
    // the next message.
    {"read on a terminal", "read", "terminal", 0, kHexTable,
     "^\rtalvo-edid: reading 6% .*reading 94% \r {60}\r$", "read B0", false},
    {"write on a terminal", "write {dir}/good.bin --no-verify", "mode 3;terminal", 0, "^$",
     "^\rtalvo-edid: writing 3% .*writing 96% \r {60}\rtalvo-edid: table written",
     "status, write B0, resets", false},
    {"-q on a terminal", "read -q", "terminal", 0, kHexTable, "^$", "read B0", false},
    {"unknown command", "bogus", "", 2, "^$",
     "^talvo-edid: unknown command \"bogus\"; the commands are list, status, mode, read, write, "
     "check, convert, diff, info, edit, program\n$",
     "", false},
    {"no command", "--unit 1", "", 2, "^$", "A subcommand is required", "", false},
    {"help", "write --help", "", 0, "--set-custom.*Exit status:.*5  the table read back", "^$", "",
     false},
    {"edit to standard output", "edit {dir}/good.bin --name BENCH7 --serial 7", "", 0, kHexTable,
     "^$", "", false},
    {"edit, a value that does not parse", "edit {dir}/good.bin --preferred 1920x1080", "", 2, "^$",
     "--preferred: 1920x1080 is not a valid value", "", false},
    {"edit, an edit that cannot be made", "edit {dir}/good.bin --serial 7 --name FOURTEEN-CHARS",
     "", 1, "^$", "--name FOURTEEN-CHARS: not made: a descriptor holds 13 characters at most", "",
     false},
    {"edit, in place and -o", "edit {dir}/good.bin --in-place -o {dir}/t.bin --serial 7", "", 2,
     "^$", "either -o OUT or --in-place", "", false},
    {"edit unit -o unit", "edit unit -o unit --name X", "mode 3", 0, "^$",
     "written to unit 0, bank 0 .* verified", nullptr, true},
    {"edit unit -o unit, not custom", "edit unit -o unit --name X", "mode 2", 1, "^$",
     "only in custom mode", nullptr, false},
    {"edit -o unit, one block", "edit {dir}/oneblock.bin -o unit --name X", "mode 3", 2, "^$",
     "the unit takes a table of 256", "", false},
    {"check --structure", "check --structure {dir}/good.bin", "", 0, "good.bin: .*right\n$", "^$",
     "", false},
    {"check --structure, a problem", "check --structure {dir}/base-only.bin", "", 1,
     "block 0, offset 0x7E: the table holds more blocks than byte 126 declares\n", "^$", "", false},
};
