#pragma once

// What the terminal's display shows of what the modem hears; the scope's own kind (symbols
// or wave) is the modem's choice (Modem::ScopeKind).
enum class DisplayKind { Spectrum, Waterfall, Scope };
