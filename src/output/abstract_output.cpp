#include "output/abstract_output.h"

CAbstractOutput::~CAbstractOutput() = default;

int CAbstractOutput::GetEmitterCount() { return emitterCount; }
