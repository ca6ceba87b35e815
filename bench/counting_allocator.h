#pragma once

// Every `new` in a benchmark program that links counting_allocator.cpp is
// counted, so a loop can prove it did not allocate.
long AllocationCount();
