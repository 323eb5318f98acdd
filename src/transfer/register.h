#pragma once
// The procedures of this folder, made known to the program by name.

namespace tdx::rt { class Program; }

namespace tdx::transfer {
void registerProcedures(rt::Program& program);
}
