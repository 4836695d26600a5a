#pragma once
// The command line: `datadict COMMAND ...` for every registered command,
// `datadict --help`, `datadict --version`. Anything else starts the windows.
namespace dd::cli {

// Whether the arguments ask for the command line rather than the windows.
bool isCommandLine(int argc, char **argv);
// Runs it; returns the exit status.
int run(int argc, char **argv);

}  // namespace dd::cli
