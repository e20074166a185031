#include "../high/upper.h"
