#pragma once
// The record tests' helpers live in tests/support; the evidence and search tests include them from here.
#include "recordtesting.h"
