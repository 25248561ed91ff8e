// TEntityLwo.cpp
