#pragma once

// A lower layer reaching up: the check must refuse it.
#include "high/top.h"
