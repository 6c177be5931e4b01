#pragma once

// The tool's exit statuses, as its help and the README document them.
enum ExitStatus : int {
    kExitDone = 0,
    // A negative answer: a wrong checksum, a difference, a refused write.
    kExitNegative = 1,
    // A usage error, or an input file that cannot be read or holds no table.
    kExitUsage = 2,
    // No unit, or a bridge library that cannot be loaded.
    kExitNoUnit = 3,
    // The unit failed: a transaction failed, a chunk was refused, a command
    // went unanswered.
    kExitUnitFailed = 4,
    // The table read back after a write is not the one written.
    kExitReadBackDiffers = 5,
    // The user interrupted the tool, as a shell reports an end by SIGINT.
    kExitInterrupted = 130,
};
