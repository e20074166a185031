#include "low/lower.h"
#include "high/upper.h"
