// Linked into a test program: the engine resolves every host name under
// ".example" to 127.0.0.1, so pages of made-up sites (international names
// included) come from the test server.
#include "EngineArguments.h"

namespace {
const bool exampleHostsMapped = [] {
    lt::test::engineArguments().push_back("--host-resolver-rules=MAP *.example 127.0.0.1");
    return true;
}();
} // namespace
