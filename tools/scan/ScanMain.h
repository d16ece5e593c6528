#pragma once
// The body of both scanner programs' main(): runs command on the process's
// arguments with Ctrl+C cancelling it, and tells memory running out as a
// failure, not an abort. command must live until the process exits (the
// interrupt handler keeps its cancel flag).
class TScanCommand;

int ScanMain(TScanCommand& command, int argc, char** argv);
