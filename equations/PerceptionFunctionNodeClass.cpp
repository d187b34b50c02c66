#include "equations/PerceptionFunctionNodeClass.h"

PerceptionFunctionNodeClass::~PerceptionFunctionNodeClass() = default;
