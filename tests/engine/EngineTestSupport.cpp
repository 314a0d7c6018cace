#include "EngineTestSupport.h"

namespace lt::test {

EngineEnvironment* EngineEnvironment::instance = static_cast<EngineEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment));

} // namespace lt::test
