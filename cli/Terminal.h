#pragma once

// Whether standard error goes to a terminal, where a progress line can be
// redrawn in place; a pipe or file gets no progress line.
bool StandardErrorIsTerminal();
