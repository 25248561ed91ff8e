// TEntity.cpp - entities and the entity registry.
#include "TEntity.h"

TEntityRegistryClass::~TEntityRegistryClass()
{
    for (TEntityClass* record : records)
        delete record;
}
