// The message table: every text the system shows or reports, as named constants.
// No text is written twice; code refers to these names. Texts containing "%s" or "%d"
// are formatted with FormatMessage (toolkit/Exceptions.h).
#pragma once

namespace QBResource {

// --- Lexer and parser errors ---

// --- Query model ---

// --- Data access ---

// --- Diagram ---

}  // namespace QBResource
