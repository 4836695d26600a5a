#pragma once
// The command line: `datadict export ...`, `datadict --help`,
// `datadict --version`. Anything else starts the windows.
namespace dd::exporting {

// Whether the arguments ask for the command line rather than the windows.
bool isCommandLine(int argc, char **argv);
// Runs it; returns the exit status.
int runCommandLine(int argc, char **argv);

}  // namespace dd::exporting
