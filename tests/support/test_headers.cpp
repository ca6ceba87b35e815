// GoogleTest's headers are compiled once here and reused by every test program.
#include <gtest/gtest.h>
