#include "components/vtxtimerservice.h"

namespace kestrova::components {

TTimerService::~TTimerService() = default;

}  // namespace kestrova::components
