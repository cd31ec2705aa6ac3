#include "plot/engine_host.h"

#include "plot/engine.h"

TEngineHost::~TEngineHost() {
    ForgetEngineHost(this);
}
