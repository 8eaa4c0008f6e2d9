// What the library module runs for the program (see library_module.h).
#pragma once

namespace vellum {

struct CommandLine;

// The whole program for a parsed command line (argc and argv as given, for
// Qt): windows, the editor, screenshots, the Today screen; console runs too.
// Gives the exit status.
int RunProgram(const CommandLine& options, int argc, char** argv);

// A console run whose script named one of the libraries: the device screen
// of its command line and the Qt application the libraries work in, kept
// until FinishConsoleLibraries.
void StartConsoleLibraries(const CommandLine& options, int argc, char** argv);
void FinishConsoleLibraries();

} // namespace vellum
