// The registry view in which the probes open keys: the running process's own, or the 64-bit
// view (KEY_WOW64_64KEY added to every access mask), which a 32-bit program on 64-bit Windows
// needs to see the 64-bit programs' keys. The front ends always ask for the default view.
#pragma once

enum class RegistryView { kDefault, k64Bit };
