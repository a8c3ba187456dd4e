// Which of the two programs is running: a few shared routines differ between them.
#pragma once

namespace cfg {

enum class Program { Setup, Uninstall };

}  // namespace cfg
