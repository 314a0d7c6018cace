#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace lt {

// A link or a location in the form a browser's address bar shows it, which
// is the form the harvest's filters and the result list work on. The engine
// hands out addresses encoded: non-ASCII text as percent-escapes of its
// UTF-8 bytes, international host names in their ACE form ("xn--").
//
// - A run of escapes whose bytes are valid UTF-8 as a whole has its
//   non-ASCII characters decoded; its escapes of ASCII bytes ("%20", "%2F",
//   "%25", as written) stay, so the address still means what it meant.
// - A run that is not UTF-8 as a whole (a query escaped in GBK, "%D6%D0")
//   stays as it is.
// - Characters that show as nothing or as a blank, or that reorder text
//   (NBSP, zero-width and bidirectional controls, U+3000, ...), stay escaped.
// - The host is shown in Unicode whatever its top-level domain.
//
// Loading the result again loads the same page: a browser encodes what was
// decoded back to the same bytes. Input and result are UTF-8.
std::string addressBarForm(std::string href);

// Length of the scheme name an address starts with (a letter, then letters,
// digits, "+", "-" or "."), when a ":" follows it; 0 otherwise.
std::size_t schemeLength(std::string_view address);

} // namespace lt
