#include "lists/unitnames.h"

ProdPtrList* UnitNames = nullptr;
