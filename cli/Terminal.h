#pragma once

// Whether standard error goes to a terminal, where a progress line can be
// redrawn in place; a pipe or file gets no progress line.
bool StandardErrorIsTerminal();

// Whether standard output goes to a terminal, where a table is shown as hex
// text rather than as raw bytes.
bool StandardOutputIsTerminal();
