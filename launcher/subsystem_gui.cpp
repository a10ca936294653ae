#include "launcher/console.h"

// Linked into the GUI launcher only.
launcher::Subsystem launcher::builtSubsystem() noexcept { return Subsystem::Gui; }
