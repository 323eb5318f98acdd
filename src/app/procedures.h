#pragma once
// Every procedure of the program, registered by name.

namespace tdx::rt { class Program; }

namespace tdx::app {
void registerAllProcedures(rt::Program& program);
}
