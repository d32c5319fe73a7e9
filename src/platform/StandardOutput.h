#pragma once

// The end of a command-line program: output that did not reach standard output is a failure,
// whatever the program did.
class StandardOutput {
public:
    // Flushes standard output. When some of it was not written, reports "PROGRAM: cannot write
    // standard output: REASON" on standard error and gives 1 in place of a status 0.
    static int Checked(int status, const char* program);
};
