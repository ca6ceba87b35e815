#include "output/asio/asio_output.h"
#include "output/asio_factory.h"

CAbstractOutput* CreateAsioOutput() { return new CASIOOutput(); }
