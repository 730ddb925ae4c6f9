// The registry view in which the probes open keys: the running process's own (kDefault), the
// 64-bit view (KEY_WOW64_64KEY added to every access mask) or the 32-bit view (KEY_WOW64_32KEY).
// On 64-bit Windows the two differ below HKLM\SOFTWARE and its Classes, whose 32-bit keys lie
// under Wow6432Node: a 32-bit program needs k64Bit to see the 64-bit programs' keys, a 64-bit
// one k32Bit to see the 32-bit programs'. machine_views.h says which views a scan searches.
#pragma once

enum class RegistryView { kDefault, k64Bit, k32Bit };
