// `vellum --dap`: a Debug Adapter Protocol server on standard input and
// output. It launches one script (or folder) as the command line would,
// with the engine's debugger attached, and ends when the client
// disconnects after the run.
#pragma once

namespace vellum {

// Gives the program's exit status (0 unless the protocol stream failed at
// its start).
int RunDebugAdapter(int argc, char** argv);

} // namespace vellum
