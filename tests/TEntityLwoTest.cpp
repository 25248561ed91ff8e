// TEntityLwoTest.cpp
