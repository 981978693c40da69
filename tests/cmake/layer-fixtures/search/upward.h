// A search header that reaches up into the protocol layer, twice.
#pragma once

#include "board/position.h"
#include "protocol/engine.h"
#include "search/transposition.h"
  #  include <protocol/clock.h>
