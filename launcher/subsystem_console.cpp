#include "launcher/console.h"

// Linked into the console launcher only.
launcher::Subsystem launcher::builtSubsystem() noexcept { return Subsystem::Console; }
